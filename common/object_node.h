// Doubly linked lists with a head pointer, intrusive: any node type with
// `next` and `prev` pointer fields of its own type works. The helpers only
// relink; who owns the nodes (an arena, a std::deque, unique_ptrs) is the
// caller's business. The head's prev is null and so is the tail's next.
#pragma once

namespace zun {

// A ready-made node that carries a data pointer.
template <class T>
struct ObjectNode {
  T* data = nullptr;
  ObjectNode* next = nullptr;
  ObjectNode* prev = nullptr;
};

// Takes `node` out of the list and clears its links. A node that is not linked
// (and is not the head) is left alone.
template <class Node>
void node_unlink(Node*& head, Node* node) {
  if (!node) return;
  if (node->prev) node->prev->next = node->next;
  else if (head == node) head = node->next;
  else return;
  if (node->next) node->next->prev = node->prev;
  node->next = nullptr;
  node->prev = nullptr;
}

// Links `node` at the end of the list.
template <class Node>
void node_append(Node*& head, Node* node) {
  node->next = nullptr;
  if (!head) {
    node->prev = nullptr;
    head = node;
    return;
  }
  Node* tail = head;
  while (tail->next) tail = tail->next;
  tail->next = node;
  node->prev = tail;
}

// Links `node` in front of `before` (at the end when `before` is null); the head
// follows when `before` was the first node.
template <class Node>
void node_insert_before(Node*& head, Node* before, Node* node) {
  if (!before) {
    node_append(head, node);
    return;
  }
  node->next = before;
  node->prev = before->prev;
  if (before->prev) before->prev->next = node;
  else head = node;
  before->prev = node;
}

}  // namespace zun
