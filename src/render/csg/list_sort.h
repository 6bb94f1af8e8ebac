#pragma once

namespace orva {

// Stable merge sort of a singly linked list chained through `Link` (by default `link`): records
// that compare equal keep their order, which decides ties between fragments of equal depth. Needs
// no memory beyond the stack of a bottom-up merge.
template <typename T, T* T::*Link = &T::link, typename Before>
T* SortList(T* head, Before before) {
    if (head == nullptr || head->*Link == nullptr) {
        return head;
    }
    for (int width = 1;; width *= 2) {
        T* rest = head;
        T* result = nullptr;
        T** tail = &result;
        int merges = 0;
        while (rest != nullptr) {
            ++merges;
            T* a = rest;
            int aSize = 0;
            while (rest != nullptr && aSize < width) {
                rest = rest->*Link;
                ++aSize;
            }
            T* b = rest;
            int bSize = 0;
            while (rest != nullptr && bSize < width) {
                rest = rest->*Link;
                ++bSize;
            }
            while (aSize > 0 || bSize > 0) {
                T* take = nullptr;
                // b goes first only when strictly before a: that keeps the sort stable.
                if (aSize > 0 && (bSize == 0 || !before(*b, *a))) {
                    take = a;
                    a = a->*Link;
                    --aSize;
                } else {
                    take = b;
                    b = b->*Link;
                    --bSize;
                }
                *tail = take;
                tail = &(take->*Link);
            }
        }
        *tail = nullptr;
        head = result;
        if (merges <= 1) {
            return head;
        }
    }
}

}  // namespace orva
