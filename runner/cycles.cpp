// Freeing circles of objects and collections, which their counts keep alive: the live
// ones of the thread are listed, and those that only the others hold are emptied.
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "runner/value.h"

namespace runner {

namespace {
thread_local ContainerHeap* live = nullptr;  // the most recently made; older ones follow

// The objects and collections `h` holds directly.
template <typename Visit>
void ForEachHeld(ContainerHeap* h, Visit visit) {
  auto held = [&](const Value& v) {
    if (ContainerHeap* c = v.object()) visit(c);
    else if (ContainerHeap* k = v.collection()) visit(k);
  };
  if (h->kind == Heap::Kind::Object) {
    for (const auto& [name, v] : static_cast<ObjectHeap*>(h)->props) held(v);
  } else {
    for (const Value& v : static_cast<CollectionHeap*>(h)->items) held(v);
  }
}
}  // namespace

ContainerHeap::ContainerHeap(Kind k) : Heap(k), nextLive(live) {
  if (live) live->prevLive = this;
  live = this;
}

ContainerHeap::~ContainerHeap() {
  if (prevLive) prevLive->nextLive = nextLive;
  else live = nextLive;
  if (nextLive) nextLive->prevLive = prevLive;
}

size_t LiveContainers() {
  size_t n = 0;
  for (ContainerHeap* h = live; h; h = h->nextLive) ++n;
  return n;
}

void FreeCycles() {
  // References from outside the listed heaps: each one's count less those the others
  // account for. What has any, and all it reaches, stays.
  std::unordered_map<ContainerHeap*, int64_t> outside;
  for (ContainerHeap* h = live; h; h = h->nextLive) outside[h] += h->refs;
  for (ContainerHeap* h = live; h; h = h->nextLive)
    ForEachHeld(h, [&](ContainerHeap* c) { --outside[c]; });
  std::vector<ContainerHeap*> stack;
  for (auto& [h, refs] : outside)
    if (refs > 0) stack.push_back(h);
  std::unordered_set<ContainerHeap*> kept;
  while (!stack.empty()) {
    ContainerHeap* h = stack.back();
    stack.pop_back();
    if (!kept.insert(h).second) continue;
    ForEachHeld(h, [&](ContainerHeap* c) {
      if (!kept.count(c)) stack.push_back(c);
    });
  }
  // The rest hold only one another. Each is held here while all are emptied, so that
  // none is freed half way; then each is held by nothing else, and goes.
  std::vector<ContainerHeap*> circles;
  for (ContainerHeap* h = live; h; h = h->nextLive)
    if (!kept.count(h)) circles.push_back(h);
  for (ContainerHeap* h : circles) ++h->refs;
  for (ContainerHeap* h : circles) {
    if (h->kind == Heap::Kind::Object) static_cast<ObjectHeap*>(h)->Clear();
    else static_cast<CollectionHeap*>(h)->items.clear();
  }
  for (ContainerHeap* h : circles) {
    if (--h->refs > 0) continue;
    if (h->kind == Heap::Kind::Object) delete static_cast<ObjectHeap*>(h);
    else delete static_cast<CollectionHeap*>(h);
  }
}

}  // namespace runner
