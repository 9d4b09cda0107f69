#pragma once
// The command-line programs (kova, the report generator) need no runtime
// folder: Qt's complaints about one ("QStandardPaths: XDG_RUNTIME_DIR not
// set...", "...wrong permissions on runtime directory", common on a root
// shell or a shared folder) are left off their output. Every other message
// of Qt passes on. Call before the application object is made.

namespace kova {

void QuietQtRuntimeFolderMessages();

}  // namespace kova
