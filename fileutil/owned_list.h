// OwnedList and ListNode: an owning linked list, singly or doubly linked.
// One implementation serves both forms; the form is a template argument.
#pragma once

#include <stdint.h>

#include "heap.h"

// The two forms of link between nodes.
enum class Links { Single, Double };

template <typename Payload, Links kLinks>
struct ListNode;

// A node of a singly linked list: payload, next, owned flag.
template <typename Payload>
struct ListNode<Payload, Links::Single> {
  Payload* payload = nullptr;
  ListNode* next = nullptr;
  uint8_t owned = 0;
};

// A node of a doubly linked list: payload, next, previous, owned flag.
template <typename Payload>
struct ListNode<Payload, Links::Double> {
  Payload* payload = nullptr;
  ListNode* next = nullptr;
  ListNode* prev = nullptr;
  uint8_t owned = 0;
};

// A list that owns its nodes and, where a node says so, its payloads, which
// it destroys with heapDelete. Never copied.
template <typename Payload, Links kLinks>
class OwnedList {
 public:
  using Node = ListNode<Payload, kLinks>;

  OwnedList() = default;
  ~OwnedList() { clear(); }
  OwnedList(const OwnedList&) = delete;
  OwnedList& operator=(const OwnedList&) = delete;

  // Links `node` after the tail. The first node also becomes head and cursor.
  void append(Node* node) {
    node->next = nullptr;
    if constexpr (kLinks == Links::Double) node->prev = tail;
    if (!head) {
      head = node;
      cursor = node;
    } else {
      tail->next = node;
    }
    tail = node;
    ++count;
  }

  // Appends a new node that owns `payload`. Returns false, leaving the list
  // and `payload` untouched, when memory for the node runs short.
  bool appendOwned(Payload* payload) {
    Node* node = heapNew<Node>();
    if (!node) return false;
    node->payload = payload;
    node->owned = 1;
    append(node);
    return true;
  }

  // Frees every owned payload and every node, from the head on, and sets
  // head, tail, cursor and count to zero.
  void clear() {
    Node* node = head;
    while (node) {
      Node* next = node->next;
      if (node->owned) heapDelete(node->payload);
      heapDelete(node);
      node = next;
    }
    head = nullptr;
    tail = nullptr;
    cursor = nullptr;
    count = 0;
  }

  Node* head = nullptr;
  Node* tail = nullptr;
  Node* cursor = nullptr;
  int32_t count = 0;
};
