#pragma once

#include "editor/EditorService.h"

#include <memory>

class HeaderBarView;
class QWidget;
class ToastService;
class Workspace;

// The editor's commands (preview, format, print) as the controller's editor service, reaching the
// tabs through the workspace, the preview button through the header and the print panel's place
// through the content view.
std::unique_ptr<EditorService> makeEditorService(Workspace& workspace, ToastService& toasts,
                                                 QWidget* contentView, HeaderBarView* header);
