// Objects for handles the program did not bind itself: made on demand, dropped together when
// the message loop goes idle. Allocated from the process heap, so the framework needs no C++
// allocation (and none of the exception support that comes with it).
#pragma once

#include <windows.h>

#include <new>

template <class T, class Handle, Handle T::*handleOf>
class CTemporaryMap {
public:
    // The object for `handle`, made if needed; nullptr for a null handle or when out of memory.
    T* FromHandle(Handle handle) {
        if (handle == nullptr) return nullptr;
        for (Node* node = m_first; node != nullptr; node = node->next) {
            if (node->object.*handleOf == handle) return &node->object;
        }
        void* memory = ::HeapAlloc(::GetProcessHeap(), 0, sizeof(Node));
        if (memory == nullptr) return nullptr;
        Node* node = new (memory) Node{T(), m_first};
        node->object.*handleOf = handle;
        m_first = node;
        return &node->object;
    }

    // Forgets `handle`'s object, for a handle that is now bound for good.
    void Remove(Handle handle) {
        for (Node** link = &m_first; *link != nullptr; link = &(*link)->next) {
            if ((*link)->object.*handleOf == handle) {
                Node* node = *link;
                *link = node->next;
                Free(node);
                return;
            }
        }
    }

    void Clear() {
        while (m_first != nullptr) {
            Node* node = m_first;
            m_first = node->next;
            Free(node);
        }
    }

private:
    struct Node {
        T object;
        Node* next;
    };

    static void Free(Node* node) {
        node->object.*handleOf = nullptr;  // a temporary object never owns its handle
        node->~Node();
        ::HeapFree(::GetProcessHeap(), 0, node);
    }

    Node* m_first = nullptr;
};
