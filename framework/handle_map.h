// The handle maps: which object belongs to a handle. Memory comes from the process heap, so the
// framework needs no C++ allocation (and none of the exception support that comes with it).
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <new>

// Handles bound to an object for good, kept sorted: every message looks its window up here, so
// the lookup stays in the process (a window property would ask the window server each time).
template <class Handle, class T>
class CPermanentMap {
public:
    CPermanentMap() = default;
    CPermanentMap(const CPermanentMap&) = delete;
    CPermanentMap& operator=(const CPermanentMap&) = delete;

    T* Lookup(Handle handle) const {
        const Entry* entry = Find(handle);
        return entry != End() && entry->handle == handle ? entry->object : nullptr;
    }

    // False when the table cannot grow.
    bool Insert(Handle handle, T* object) {
        if (m_count == m_capacity && !Grow()) return false;
        Entry* at = Find(handle);
        std::memmove(at + 1, at, static_cast<std::size_t>(End() - at) * sizeof(Entry));
        *at = Entry{handle, object};
        ++m_count;
        return true;
    }

    void Remove(Handle handle) {
        Entry* at = Find(handle);
        if (at == End() || at->handle != handle) return;
        std::memmove(at, at + 1, static_cast<std::size_t>(End() - at - 1) * sizeof(Entry));
        --m_count;
    }

private:
    struct Entry {
        Handle handle;
        T* object;
    };

    Entry* Find(Handle handle) const {
        return std::lower_bound(m_entries, m_entries + m_count, handle,
                                [](const Entry& e, Handle h) { return std::less<Handle>()(e.handle, h); });
    }
    Entry* End() const { return m_entries + m_count; }

    bool Grow() {
        const std::size_t capacity = m_capacity == 0 ? 128 : m_capacity * 2;
        const std::size_t bytes = capacity * sizeof(Entry);
        void* memory = m_entries == nullptr ? ::HeapAlloc(::GetProcessHeap(), 0, bytes)
                                            : ::HeapReAlloc(::GetProcessHeap(), 0, m_entries, bytes);
        if (memory == nullptr) return false;
        m_entries = static_cast<Entry*>(memory);
        m_capacity = capacity;
        return true;
    }

    Entry* m_entries = nullptr;
    std::size_t m_count = 0;
    std::size_t m_capacity = 0;
};

// Objects for handles the program did not bind itself: made on demand, dropped together when
// the message loop goes idle.
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

    bool IsEmpty() const { return m_first == nullptr; }

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
