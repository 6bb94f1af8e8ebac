#include "scene/object_list.h"

#include <utility>

#include "scene/scene_object.h"

namespace orva {

void DeleteObjectChain(CSceneObject* first) {
    while (first != nullptr) {
        CSceneObject* following = first->next;
        delete first;
        first = following;
    }
}

void CListBuilder::Append(CSceneObject* object) {
    *m_tail = object;
    object->next = nullptr;
    m_tail = &object->next;
}

CObjectList::~CObjectList() {
    Clear();
}

CObjectList::CObjectList(const CObjectList& other) {
    CListBuilder builder(first);
    for (const CSceneObject* o = other.first; o != nullptr; o = o->next) {
        builder.Append(o->Clone().release());
    }
}

CObjectList& CObjectList::operator=(const CObjectList& other) {
    if (this != &other) {
        CObjectList copy(other);
        *this = std::move(copy);
    }
    return *this;
}

CObjectList::CObjectList(CObjectList&& other) noexcept
    : first(std::exchange(other.first, nullptr)) {}

CObjectList& CObjectList::operator=(CObjectList&& other) noexcept {
    if (this != &other) {
        Clear();
        first = std::exchange(other.first, nullptr);
    }
    return *this;
}

void CObjectList::Clear() {
    DeleteObjectChain(std::exchange(first, nullptr));
}

void CObjectList::Adopt(CSceneObject* chain) {
    Clear();
    first = chain;
}

CSceneObject* CObjectList::Release() {
    return std::exchange(first, nullptr);
}

int CObjectList::Count() const {
    int count = 0;
    for (const CSceneObject* o = first; o != nullptr; o = o->next) {
        ++count;
    }
    return count;
}

}  // namespace orva
