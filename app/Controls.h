// The controls of the main window, by their form names.
#pragma once

namespace veltrano::app {

enum class ControlId { 标签2, 按钮2, 编辑框2, 按钮1, 标签1, 编辑框1 };

}  // namespace veltrano::app
