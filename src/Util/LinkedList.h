// The one container of the game: a doubly linked list of pointers to
// elements. A List owns its nodes, never the elements; an OwningList owns its
// elements too, which come in and go out as unique_ptr.
//
// A range loop visits the elements from head to tail (draw order); it must
// not remove elements on the way. Walkers that remove, or go from the tail
// along prev (the screen stack), use the nodes: they read next (or prev)
// before calling removeNode.
#pragma once

#include "Debug/Debug.h"

#include <memory>

template <typename T>
struct ListNode {
    T* data;
    ListNode* prev;
    ListNode* next;
};

template <typename T>
class List {
public:
    using Node = ListNode<T>;

    Node* head = nullptr;
    Node* tail = nullptr;
    int count = 0;

    List() = default;
    List(const List&) = delete;
    List& operator=(const List&) = delete;
    ~List() {
        Node* node = head;
        while (node != nullptr) {
            Node* next = node->next;
            delete node;
            node = next;
        }
    }

    void pushBack(T* data) {
        Node* node = createNode(data, tail, nullptr);
        if (tail != nullptr) tail->next = node;
        else head = node;
        tail = node;
        ++count;
    }

    T* popBack() {
        if (tail == nullptr) return nullptr;
        T* data = tail->data;
        removeNode(tail);
        return data;
    }

    void pushFront(T* data) {
        Node* node = createNode(data, nullptr, head);
        if (head != nullptr) head->prev = node;
        else tail = node;
        head = node;
        ++count;
    }

    T* popFront() {
        if (head == nullptr) return nullptr;
        T* data = head->data;
        removeNode(head);
        return data;
    }

    void insertBefore(Node* node, T* data) {
        if (node == head) {
            pushFront(data);
            return;
        }
        Node* inserted = createNode(data, node->prev, node);
        node->prev->next = inserted;
        node->prev = inserted;
        ++count;
    }

    void insertAfter(Node* node, T* data) {
        if (node == tail) {
            pushBack(data);
            return;
        }
        Node* inserted = createNode(data, node, node->next);
        node->next->prev = inserted;
        node->next = inserted;
        ++count;
    }

    // The elements, head to tail.
    class Iterator {
    public:
        explicit Iterator(const Node* node) : at(node) {}
        T* operator*() const { return at->data; }
        Iterator& operator++() {
            at = at->next;
            return *this;
        }
        bool operator==(const Iterator&) const = default;

    private:
        const Node* at;
    };

    Iterator begin() const { return Iterator(head); }
    Iterator end() const { return Iterator(nullptr); }

    // Matches by pointer identity, never by content.
    Node* find(const T* data) const {
        for (Node* node = head; node != nullptr; node = node->next)
            if (node->data == data) return node;
        return nullptr;
    }

    // Stable bottom-up merge sort that relinks the nodes in place.
    // compare(a, b) < 0 when a sorts before b.
    template <typename Compare>
    void sort(Compare compare) {
        if (head == nullptr) return;
        for (int runLength = 1;; runLength *= 2) {
            Node* p = head;
            head = tail = nullptr;
            int merges = 0;
            while (p != nullptr) {
                ++merges;
                Node* q = p;
                int pSize = 0;
                for (int i = 0; i < runLength && q != nullptr; ++i, q = q->next) ++pSize;
                int qSize = runLength;
                while (pSize > 0 || (qSize > 0 && q != nullptr)) {
                    Node* taken;
                    if (pSize > 0 && qSize > 0 && q != nullptr && compare(p->data, q->data) > 0) {
                        taken = q;
                        q = q->next;
                        --qSize;
                    } else if (pSize > 0) {
                        taken = p;
                        p = p->next;
                        --pSize;
                    } else {
                        taken = q;
                        q = q->next;
                        --qSize;
                    }
                    appendRelinked(taken);
                }
                p = q;
            }
            tail->next = nullptr;
            if (merges <= 1) return;
        }
    }

    // Inserts in front of the first element that is not less than data, so
    // among equal elements the newest comes first.
    template <typename Compare>
    void insertSorted(T* data, Compare compare) {
        if (head == nullptr || compare(head->data, data) >= 0) {
            pushFront(data);
            return;
        }
        Node* node = head;
        while (node->next != nullptr && compare(node->next->data, data) < 0) node = node->next;
        insertAfter(node, data);
    }

    void remove(const T* data) { removeNode(find(data)); }

    void removeNode(Node* node) {
        if (node == nullptr) return;
        if (node->prev != nullptr) node->prev->next = node->next;
        else head = node->next;
        if (node->next != nullptr) node->next->prev = node->prev;
        else tail = node->prev;
        delete node;
        --count;
    }

private:
    static Node* createNode(T* data, Node* prev, Node* next) {
        Node* node = new (std::nothrow) Node{data, prev, next};
        if (node == nullptr) DebugAllocationFailure(__FILE__, "createNode", __LINE__);
        return node;
    }

    void appendRelinked(Node* node) {
        node->prev = tail;
        if (tail != nullptr) tail->next = node;
        else head = node;
        tail = node;
    }
};

template <typename T>
std::unique_ptr<List<T>> new_List() {
    return DEBUG_MAKE_UNIQUE(List<T>, "new_List");
}

// A list that owns its elements: whatever is still in it when it goes is
// freed with it, head first. Readers walk it as they walk a List. An element
// is let go only once its node is linked, so a failed link frees it.
template <typename T>
class OwningList : private List<T> {
public:
    using typename List<T>::Node;
    using List<T>::head;
    using List<T>::tail;
    using List<T>::count;
    using List<T>::begin;
    using List<T>::end;
    using List<T>::find;

    OwningList() = default;
    ~OwningList() {
        while (head != nullptr) {
            const std::unique_ptr<T> element(List<T>::popFront());
        }
    }

    void pushBack(std::unique_ptr<T> element) {
        List<T>::pushBack(element.get());
        element.release();
    }

    template <typename Compare>
    void insertSorted(std::unique_ptr<T> element, Compare compare) {
        List<T>::insertSorted(element.get(), compare);
        element.release();
    }

    std::unique_ptr<T> popBack() { return std::unique_ptr<T>(List<T>::popBack()); }

    std::unique_ptr<T> removeNode(Node* node) {
        if (node == nullptr) return nullptr;
        std::unique_ptr<T> element(node->data);
        List<T>::removeNode(node);
        return element;
    }

    std::unique_ptr<T> remove(const T* element) { return removeNode(find(element)); }
};
