#pragma once
// The document's list of annotation objects: insertion order, the greatest
// depth in use, the current (last selected) object, the depth commands,
// delete, copy and paste, hit testing and the stored form.
#include <memory>
#include <string>
#include <vector>

#include "plot/GraphicElements.hpp"

namespace olm {

class CGEList {
 public:
  // Pick tolerance of hit testing, in pixels.
  static constexpr double kPickTolerance = 4.0;

  CGEList() = default;
  CGEList(CGEList&&) = default;
  CGEList& operator=(CGEList&&) = default;

  // A deep copy: the objects with their selection, the current object and
  // the remembered copy.
  CGEList Clone() const;

  int GetCount() const { return static_cast<int>(m_objects.size()); }
  bool IsEmpty() const { return m_objects.empty(); }
  int GetMaxDepth() const { return m_maxDepth; }
  // The objects in insertion order.
  const std::vector<std::unique_ptr<CGraphicElement>>& Objects() const { return m_objects; }
  CGraphicElement& At(int index) { return *m_objects[static_cast<size_t>(index)]; }
  const CGraphicElement& At(int index) const { return *m_objects[static_cast<size_t>(index)]; }

  // Appends the object (the greatest depth follows its depth) and returns it.
  CGraphicElement* Add(std::unique_ptr<CGraphicElement> object);
  // Replaces object `index` (insertion order) keeping its place; the new
  // object becomes current when the old one was.  False for a bad index.
  bool Replace(int index, std::unique_ptr<CGraphicElement> object);
  // Removes every object; the greatest depth goes back to 0.  A copied
  // object stays available for pasting.
  void Clear();

  // The current object (last selected), or null.
  CGraphicElement* Current() const { return m_current; }
  // Selects the object and makes it current; without `add` every other
  // selection is cleared first.  Null only clears.
  void Select(CGraphicElement* object, bool add = false);
  void ClearSelection();
  int SelectedCount() const;

  // Deletes the selected objects one by one, asking "Delete object. Are you
  // sure?" before each (title "Delete Selected Objects").  When the user
  // chooses to stop asking, the answer given holds for the rest of this
  // deletion.  Returns the number deleted.
  int DeleteSelected();

  // Remembers a copy of the current object; false when there is none.
  bool Copy();
  // Clears every selection and adds a copy of the remembered object, which
  // becomes selected and current.  Without a remembered object shows "Need to
  // copy a single object before pasting." and adds nothing.
  bool Paste();
  bool HasCopy() const { return m_copied != nullptr; }

  // Depth commands on the current object; false when there is none.
  // "Bring to Front": one step forward, or, already at the front, every
  // other object one step back.
  bool BringForward();
  // "Bring to Front of Page": to depth 0, or, already there, every other
  // object one step back.
  bool BringToFront();
  // "Push Back One": one step back.
  bool PushBackOne();
  // "Push to Back of Page": to the greatest depth in use.
  bool PushToBack();

  // The visible object under a screen point: the front-most depth within the
  // tolerance wins, and within one depth the nearest object (the later one
  // on a tie).  Null when none is within the tolerance.
  CGraphicElement* HitTest(CScreenPoint p, const CScreenMap& map,
                           double tolerance = kPickTolerance) const;

  // The visible objects from back to front (greatest depth first; insertion
  // order within one depth).
  std::vector<const CGraphicElement*> PaintOrder() const;

  // Object count, greatest depth, then per object its type code and fields.
  void Store(CProjectWriter& out) const;
  // Replaces the list with what Store writes.  Throws CProjectFormatError on
  // damaged input (an unknown type code, counts beyond the input); the list
  // is then left empty.
  void Load(CProjectReader& in);

 private:
  void RaiseMaxDepth(int depth);
  // Every object but `except` one step back.
  void PushOthersBack(const CGraphicElement* except);

  std::vector<std::unique_ptr<CGraphicElement>> m_objects;
  int m_maxDepth = 0;
  CGraphicElement* m_current = nullptr;
  std::unique_ptr<CGraphicElement> m_copied;
};

}  // namespace olm
