#pragma once
// The "Statistics" and "Composites" menus of the engineering tools.
// (First version: placeholder; the tool dialogs replace it.)
#include <functional>
#include <string>

class QMenuBar;
class QWidget;

namespace olm {

class CReplicateDB;

void AddToolMenus(QMenuBar* bar, QWidget* parent, std::function<const CReplicateDB&()> database,
                  std::function<std::string()> projectPath);

}  // namespace olm
