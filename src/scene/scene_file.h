#pragma once

#include <cstdint>
#include <string>

#include "scene/object_list.h"

namespace orva {

class CInterrupt;

class CByteReader;

// The document's scene: its list of top-level objects.
using CSceneAnchor = CObjectList;

// The stretch of a top-level list that a picture shows: from `first` up to (not including)
// `stop`; a null `stop` runs to the end of the list.
struct CSceneRange {
    const CSceneObject* first = nullptr;
    const CSceneObject* stop = nullptr;
};

// The whole top-level list of a scene.
CSceneRange WholeScene(const CSceneAnchor& anchor);

// How a load went, for callers that report more than the user sees.
struct CLoadReport {
    enum EStatus { kOk, kInvalid, kUnreadable };
    EStatus status = kOk;
    int32_t count = 0;          // top-level objects read
    bool stoppedEarly = false;  // the file ended, or a record was cut short, before its end byte
    std::string stopReason;
    std::string reason;       // kUnreadable: the system's text for why ("Is a directory")
    int64_t stopOffset = -1;  // file offset at which reading stopped
    int32_t stopRecord = -1;  // index of the top-level record that was being read then
    // errno of the system's refusal to open or read the file; 0 when the system did not refuse.
    int systemError = 0;
};

// Reads a scene stream: the signature when asked for, then object records until "&" or 255.
// Returns the number of objects read into `first`, or -1 when the signature does not match
// (nothing is read past the first wrong character). A stream that ends, or a record that is
// cut short or cannot be what it claims, ends the list there: the complete objects before it
// are kept and the unfinished one is dropped.
int32_t ReadObjectList(CByteReader& in, CSceneObject*& first, bool withSignature,
                       CLoadReport* report = nullptr);

// Deletes every object of the list whose display state is at most `limit`, keeping the others
// in their order.
void PurgeObjects(CSceneObject*& link, int32_t limit);
// Empties the scene before a load.
void ClearScene(CSceneAnchor& anchor);

// Loads the scene file into the anchor's list. Always 1: a file that cannot be opened (a
// folder included) leaves an empty scene without a message, its reason in the report; a file
// that is not a scene shows "Invalid file format!" with the path on a second line. Once
// `interrupt` is requested, reading stops as at an early end (reason "stopped").
int LoadSceneFile(CSceneAnchor& anchor, const std::string& path, CLoadReport* report = nullptr,
                  CInterrupt* interrupt = nullptr);
// Loads as LoadSceneFile does but shows no message, for readers on other threads (thumbnails):
// the outcome is only in `report`.
void ReadSceneFile(CSceneAnchor& anchor, const std::string& path, CLoadReport& report,
                   CInterrupt* interrupt = nullptr);

// The signature that starts every scene file.
inline constexpr char kSceneSignature[] = "OrvatrixViewer0100";

}  // namespace orva
