#include "plot/GraphicList.hpp"

#include <algorithm>
#include <limits>

#include "numerics/UserInterface.hpp"

namespace olm {

namespace {
// Smallest stored object: type code, the shortest own fields (a polygon
// without vertices), an empty name and the base fields.
constexpr uint64_t kMinStoredObject = 4 + 4 + 1 + 4 * 8 + 2 + 4 * 4;
}  // namespace

void CGEList::RaiseMaxDepth(int depth) {
  m_maxDepth = std::max(m_maxDepth, depth);
}

bool CGEList::Replace(int index, std::unique_ptr<CGraphicElement> object) {
  if (!object || index < 0 || index >= GetCount()) return false;
  auto& slot = m_objects[static_cast<size_t>(index)];
  if (m_current == slot.get()) m_current = object.get();
  slot = std::move(object);
  RaiseMaxDepth(slot->depth);
  return true;
}

CGEList CGEList::Clone() const {
  CGEList copy;
  for (const auto& object : m_objects) {
    copy.m_objects.push_back(object->Clone());
    if (object.get() == m_current) copy.m_current = copy.m_objects.back().get();
  }
  copy.m_maxDepth = m_maxDepth;
  if (m_copied) copy.m_copied = m_copied->Clone();
  return copy;
}

CGraphicElement* CGEList::Add(std::unique_ptr<CGraphicElement> object) {
  if (!object) return nullptr;
  RaiseMaxDepth(object->depth);
  m_objects.push_back(std::move(object));
  return m_objects.back().get();
}

void CGEList::Clear() {
  m_objects.clear();
  m_maxDepth = 0;
  m_current = nullptr;
}

void CGEList::Select(CGraphicElement* object, bool add) {
  if (!add) ClearSelection();
  if (!object) return;
  object->selected = true;
  m_current = object;
}

void CGEList::ClearSelection() {
  for (auto& o : m_objects) o->selected = false;
}

int CGEList::SelectedCount() const {
  return static_cast<int>(
      std::count_if(m_objects.begin(), m_objects.end(), [](const auto& o) { return o->selected; }));
}

int CGEList::DeleteSelected() {
  bool asking = true;
  bool answer = true;
  int deleted = 0;
  for (size_t i = 0; i < m_objects.size();) {
    if (!m_objects[i]->selected) {
      ++i;
      continue;
    }
    if (asking) {
      bool stopAsking = false;
      answer = AskUser("Delete object. Are you sure?", QuestionKind::YesNo,
                       "Delete Selected Objects", &stopAsking);
      if (stopAsking) asking = false;
    }
    if (!answer) {
      ++i;
      continue;
    }
    if (m_current == m_objects[i].get()) m_current = nullptr;
    m_objects.erase(m_objects.begin() + static_cast<std::ptrdiff_t>(i));
    ++deleted;
  }
  return deleted;
}

bool CGEList::Copy() {
  if (!m_current) return false;
  m_copied = m_current->Clone();
  m_copied->selected = false;
  return true;
}

bool CGEList::Paste() {
  if (!m_copied) {
    ShowMessage("Need to copy a single object before pasting.");
    return false;
  }
  ClearSelection();
  CGraphicElement* pasted = Add(m_copied->Clone());
  Select(pasted, true);
  return true;
}

void CGEList::PushOthersBack(const CGraphicElement* except) {
  for (auto& o : m_objects) {
    if (o.get() == except) continue;
    if (o->depth < std::numeric_limits<int32_t>::max()) ++o->depth;
    RaiseMaxDepth(o->depth);
  }
}

bool CGEList::BringForward() {
  if (!m_current) return false;
  if (m_current->depth > 0)
    --m_current->depth;
  else
    PushOthersBack(m_current);
  return true;
}

bool CGEList::BringToFront() {
  if (!m_current) return false;
  if (m_current->depth > 0)
    m_current->depth = 0;
  else
    PushOthersBack(m_current);
  return true;
}

bool CGEList::PushBackOne() {
  if (!m_current) return false;
  if (m_current->depth < std::numeric_limits<int32_t>::max()) ++m_current->depth;
  RaiseMaxDepth(m_current->depth);
  return true;
}

bool CGEList::PushToBack() {
  if (!m_current) return false;
  m_current->depth = m_maxDepth;
  return true;
}

CGraphicElement* CGEList::HitTest(CScreenPoint p, const CScreenMap& map, double tolerance) const {
  CGraphicElement* best = nullptr;
  double bestDistance = 0.0;
  for (const auto& o : m_objects) {
    if (!o->visible) continue;
    const double d = o->ScreenDistance(p, map);
    if (!(d <= tolerance)) continue;
    if (!best || o->depth < best->depth || (o->depth == best->depth && d <= bestDistance)) {
      best = o.get();
      bestDistance = d;
    }
  }
  return best;
}

std::vector<const CGraphicElement*> CGEList::PaintOrder() const {
  std::vector<const CGraphicElement*> order;
  for (const auto& o : m_objects)
    if (o->visible) order.push_back(o.get());
  std::stable_sort(
      order.begin(), order.end(),
      [](const CGraphicElement* a, const CGraphicElement* b) { return a->depth > b->depth; });
  return order;
}

void CGEList::Store(CProjectWriter& out) const {
  out.WriteInt(GetCount());
  out.WriteInt(m_maxDepth);
  for (const auto& o : m_objects) {
    out.WriteInt(o->TypeCode());
    o->Store(out);
  }
}

void CGEList::Load(CProjectReader& in) {
  Clear();
  try {
    const int32_t count = in.ReadInt();
    if (count < 0) throw CProjectFormatError(Format("it holds %d drawing objects", count));
    in.Require(uint64_t(count), kMinStoredObject, Format("a list of %d drawing objects", count));
    m_maxDepth = in.ReadInt();
    m_objects.reserve(static_cast<size_t>(count));
    for (int i = 1; i <= count; ++i) {
      const int32_t code = in.ReadInt();
      std::unique_ptr<CGraphicElement> object = CreateGraphicElement(code);
      if (!object)
        throw CProjectFormatError(Format("drawing object %d has the unknown type %d", i, code));
      object->Load(in);
      m_objects.push_back(std::move(object));
    }
  } catch (...) {
    Clear();
    throw;
  }
}

}  // namespace olm
