#pragma once

namespace orva {

class CSceneObject;

// An owned list of scene objects chained through their `next` fields: the scene anchor,
// a group's children, an extrusion's generated lists and the gem library all hold one.
// Copying clones every member in order; destruction deletes every member.
class CObjectList {
public:
    CObjectList() = default;
    ~CObjectList();
    CObjectList(const CObjectList& other);
    CObjectList& operator=(const CObjectList& other);
    CObjectList(CObjectList&& other) noexcept;
    CObjectList& operator=(CObjectList&& other) noexcept;

    // Deletes every member.
    void Clear();
    // Takes ownership of the chain starting at `first`, deleting what the list held.
    void Adopt(CSceneObject* first);
    // Hands the chain to the caller; the list is empty afterwards.
    CSceneObject* Release();
    int Count() const;
    bool Empty() const { return first == nullptr; }

    // The link that leads to the first member; walks of the list start from it.
    CSceneObject* first = nullptr;
};

// Deletes a chain of objects iteratively (long lists must not recurse).
void DeleteObjectChain(CSceneObject* first);

// Appends objects to a chain in order, the way list readers build their lists.
class CListBuilder {
public:
    explicit CListBuilder(CSceneObject*& head) : m_tail(&head) {}
    void Append(CSceneObject* object);

private:
    CSceneObject** m_tail;
};

}  // namespace orva
