#pragma once
// The desktop program's main window: documents in tabs, the "KOVA" command
// bar with its panels "Test", "Test Plan", "Window" and "Application", and
// the "&File" menu with its "Test Plan" and "File Utilities" submenus.
// Commands come from the core's table (app/main_commands.h); a command is
// offered once a handler is registered for it with AddCommand.

#include <QMainWindow>

#include <QMap>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/app_settings.h"
#include "app/chosen_exports.h"
#include "app/connection_probe.h"
#include "app/edit_test_model.h"
#include "app/main_commands.h"
#include "app/recent_files.h"
#include "app/record_document.h"
#include "app/save_record.h"
#include "app/settings_store.h"
#include "base/program_version.h"
#include "base/prompter.h"
#include "device/rud_device.h"
#include "gui/dialogs/dialog_runner.h"

class QMdiArea;
class QMdiSubWindow;
class QLabel;
class QMenu;
class QAction;
class QGridLayout;
class QPrinter;
class QStackedWidget;

namespace kova {

class ReportView;
class RecordChooser;
class StartPage;

constexpr const char* kMainTitle = "Helmark KOVA-7100 Software Version " KOVA_PROGRAM_VERSION;
constexpr const char* kVersionText = kProgramVersion;

struct GuiContext {
  SettingsStore* store = nullptr;
  AppSettings* settings = nullptr;
  CAppInfo* info = nullptr;
  Prompter* prompter = nullptr;
  RecordChooser* chooser = nullptr;
  // Serial ports of the system for the setup dialog's list.
  std::function<std::vector<SystemPort>()> system_ports;
  // Setup's "Test Connection" (none: no button).
  std::function<ProbeOutcome(const ProbeTarget&)> probe_connection;
  // Closes the serial port and gives it the new settings (setup's OK).
  std::function<void()> apply_comm_settings;
  // The automatic export after every save; none when null.
  RecordExporter* exporter = nullptr;
  // The automatic export of a record whose `fullpath` names its file (force:
  // even when the exports are up to date), with what its document gathered
  // for it; false after a warning. Runs for a record opened alone and for
  // "Export"; none when empty.
  std::function<bool(TestRecord&, bool force, const RecordContext&)> auto_export;
  // What "Export Test to Excel" writes for each chosen record; none when
  // its `write` is empty.
  ChosenExportKind workbook_export;
  // Opens a folder in the system's file manager; false when none opened.
  std::function<bool(const std::string&)> open_folder;
  // Several files at once (the thumb-drive commands); false on Cancel.
  std::function<bool(const std::string& title, const std::string& folder, const std::string& filter,
                     std::vector<std::string>& paths)>
      choose_open_files;
  // The model code of an instrument that answers a quiet check, or -1.
  std::function<int()> connected_model;
  // Runs a plan on the connected instrument for "Repeat Tests".
  PlanRunner run_plan;
  // Runs the plan and record dialogs (modal; the tests fill them in).
  DialogRunner run_dialog = ModalRunner();
  // Where the settings are kept, as About says.
  std::string settings_place;
};

class MainWindow : public QMainWindow, public MainWindowTitle {
  Q_OBJECT
 public:
  explicit MainWindow(GuiContext context, QWidget* parent = nullptr);
  ~MainWindow() override;

  // Offers a command: its action goes into its menu and panel.
  QAction* AddCommand(CommandId id, std::function<void()> handler);
  QAction* Action(CommandId id) const { return actions_.value(static_cast<int>(id), nullptr); }
  // What the active document holds, as the commands' enabling rules read it.
  DocumentState ActiveState() const;

  // Opens a record file as a new document; a file already open has its
  // window brought forward instead. False (with the message naming the file
  // and the reason) when it does not read.
  bool OpenDocument(const std::string& path);
  // Opens several files (the command line, a drop, a second start): the
  // files that do not read are named together in one message.
  int OpenDocuments(const std::vector<std::string>& paths);
  bool OpenOverlay(const std::vector<std::string>& paths);

  ReportView* ActiveView() const;
  QList<ReportView*> Views() const;
  const RecentFiles& Recent() const { return recent_; }
  QString StatusText() const;
  // The start page stands in the document area while no document is open.
  StartPage* Start() const { return start_; }
  bool StartPageShowing() const;
  // The "&Window" menu: its commands, then one checkable entry per open
  // document, the active one checked.
  QMenu* WindowMenu() const { return window_menu_; }
  void ApplyLook(int id);
  int CurrentLook() const { return look_; }
  // How the document windows are arranged: tabs, cascade or tile
  // (remembered as "ViewStyle").
  enum { kViewTabs = 0, kViewCascade = 1, kViewTile = 2 };
  int ViewStyle() const { return view_style_; }

  // MainWindowTitle: the connected instrument's name joins the title.
  std::string GetTitle() const override;
  void SetTitle(const std::string& title) override;

  // Command handlers, public for the tests; the record commands
  // (record_commands.cpp).
  void OnOpenTest();
  void OnOverlayTest();
  void OnSaveTest();
  void OnSaveAs();
  void OnCloseTest();
  void OnExportText();
  void OnExportExcel();
  // The forced automatic export of the active document's record.
  void OnExport();
  void OnNewDocument();
  // "Application Setup", then the port and printer take what it chose.
  void OnAppSetup();
  // The plan commands and the record edits (plan_commands.cpp).
  void OnCreatePlan();
  void OnModifyPlan();
  void OnEditTest();
  void OnOverrideData();
  void OnExportPlansToDrive();
  void OnImportPlansFromDrive();
  // The print commands (print_commands.cpp).
  void OnPrint();
  void OnPrintPreview();
  void OnPrintSetup();
  void OnSavePdf();
  // Prints the active document's pages onto `printer`; false when nothing is printed.
  bool PrintActive(QPrinter& printer);
  // The printer that Print, Print Preview and Print Setup share.
  QPrinter& Printer();
  // Opens `folder` in the file manager, or says where the files are.
  void OpenFolder(const std::string& folder);
  void UpdateCommands();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void AddStandardCommands();
  // Edit's quiet check for an instrument, rested after a failure.
  int ConnectedModel();
  static constexpr std::chrono::seconds kProbeRestSeconds{10};

  // The command bar and looks (command_bar.cpp).
  void BuildMenus();
  void BuildCommandBar();
  QGridLayout* PanelFor(const CommandInfo& info);
  // Each panel's buttons fill two rows, column by column, in `order`.
  void AddToPanel(int panel, QWidget* button, int order);
  void FileUsed(const std::string& path);
  void RebuildRecentMenu();

  // The document area (document_area.cpp).
  void BuildDocumentArea();
  std::unique_ptr<RecordDocument> NewDocument();
  ReportView* AddView(std::unique_ptr<RecordDocument> document);
  ReportView* ViewOf(const std::string& path) const;
  // Opens one file without a message; the reason of a failure in `why`.
  bool OpenQuietly(const std::string& path, std::string& why);
  void ReportOpenFailures(const std::vector<std::pair<std::string, std::string>>& failures);
  // Every document window's title (with "*" while changed, and enough of
  // the folder to tell two files of one name apart) and the window's.
  void UpdateTitles();
  // Asks about every changed document; false when one was kept open.
  bool ConfirmCloseAll();
  void SetViewStyle(int style);
  void RefreshView(ReportView* view);
  void ShowStartPageWhenEmpty();
  void RebuildWindowMenu();

  // The record, print and plan commands (record_commands.cpp,
  // print_commands.cpp, plan_commands.cpp).
  void AddPrintCommands();
  void AddPlanCommands();
  // The status bar after a chosen export: how many were written where.
  void ShowChosenExports(const ChosenExportOutcome& out, const std::string& what);
  bool ChooseFiles(const std::string& title, const std::string& filter,
                   std::vector<std::string>& paths);

  GuiContext ctx_;
  RecentFiles recent_;
  QMdiArea* mdi_ = nullptr;
  QStackedWidget* centre_ = nullptr;
  StartPage* start_ = nullptr;
  QLabel* page_status_ = nullptr;
  QMenu* file_menu_ = nullptr;
  QMenu* plan_menu_ = nullptr;
  QMenu* utilities_menu_ = nullptr;
  QMenu* assessment_menu_ = nullptr;
  QMenu* window_menu_ = nullptr;
  QMenu* help_menu_ = nullptr;
  QList<QAction*> document_entries_;
  QMenu* recent_menu_ = nullptr;
  QAction* application_separator_ = nullptr;
  QMap<int, QAction*> actions_;
  QMap<int, QGridLayout*> panels_;
  QMap<int, QWidget*> panel_boxes_;
  int look_ = kDefaultApplicationLook;
  // The window's own title; the instrument's name may join it (SetTitle).
  std::string base_title_ = kMainTitle;
  int view_style_ = kViewTabs;
  bool editing_ = false;
  std::optional<std::chrono::steady_clock::time_point> last_failed_probe_;
  std::unique_ptr<QPrinter> printer_;
};

}  // namespace kova
