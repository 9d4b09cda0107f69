#pragma once
// The main window's commands: identifiers, captions, shortcuts, where each
// sits (ribbon panel of the "KOVA" category, "&File" menu, its "Test Plan"
// and "File Utilities" submenus) and when each can act. The window builds
// its actions from this table for every command it has a handler for.

#include <string>
#include <vector>

namespace kova {

enum class CommandId {
  kOpenTest = 32774,
  kOverlayTest = 32796,
  kRunTest = 32787,
  kTestDirectory = 32772,
  kResendTest = 32800,
  kReturnToPanel = 32773,
  kSaveTest = 32790,
  kSaveAs = 32792,
  kCloseTest = 32777,
  kEditTest = 32804,
  kOverrideData = 32793,
  kExport = 32801,
  kExportText = 32794,
  kExportExcel = 32779,
  kTestUtilities = 32806,
  kFileManipulation = 32788,
  kCreatePlan = 32783,
  kModifyPlan = 32784,
  kUploadPlan = 32785,
  kDownloadPlan = 32786,
  kExportPlanToDrive = 32795,
  kImportPlanFromDrive = 32797,
  kPlanUtilities = 32807,
  kAppSetup = 32775,
  // The usual commands of the application menu.
  kNewDocument = 57600,
  kPrint = 57607,
  kPrintPreview = 57609,
  kPrintSetup = 57606,
  kSavePdf = 57700,
  kCloseWindow = 57602,
  kExit = 57665,
  // The program's own commands beyond the instrument's classic set: the
  // record library and the assessment of the record shown.
  kLibrary = 33000,
  kAssessmentProfile = 33010,
  kImportReferenceCurve = 33011,
  kCompareSisterPhases = 33012,
  // Moving between the open documents, and the help.
  kNextDocument = 33020,
  kPreviousDocument = 33021,
  kKeyboardShortcuts = 33030,
  kAbout = 57664,
};

// When a command can act.
enum class CommandNeeds {
  kNothing,
  kDocument,      // an active document window
  kLoaded,        // an active document holding a record or overlay
  kSingleRecord,  // an active document holding one record
  kSavedRecord,   // an active document holding one record read from its file
};

enum class CommandPlace {
  kFileMenu,           // "&File" and the "Test" panel
  kTestPlanMenu,       // "Test Plan" submenu and panel
  kFileUtilitiesMenu,  // "File Utilities" submenu
  kApplication,        // "&File" below a separator and the "Application" panel
  kAssessmentMenu,     // the "&Assessment" menu, after "&File"
  kWindowMenu,         // the "&Window" menu, above the list of open documents
  kHelpMenu,           // the "&Help" menu, the last
};

struct CommandInfo {
  CommandId id;
  const char* ribbon_caption;  // the panel button's text; "" for the menu only
  const char* menu_caption;    // the menu text, with its shortcut after '\t'
  const char* shortcut;        // portable key sequence text, or ""; "; " between alternatives
  CommandPlace place;
  CommandNeeds needs;
};

const std::vector<CommandInfo>& MainCommands();
const CommandInfo* FindCommand(CommandId id);
// The command's place in the table (where its button stands); -1 if none.
int CommandOrder(CommandId id);

// What a panel button does, said where its caption alone would not: the
// "Test" and "Test Plan" panels both have "Download from Device" and "File
// Utilities", one for records and one for plans. "" for the others.
const char* RibbonTip(CommandId id);

struct DocumentState {
  bool has_document = false;
  bool loaded = false;
  bool overlay = false;
  bool saved = false;  // the (first) record has a file of its own
};
bool CommandEnabled(CommandId id, const DocumentState& state);

// The ribbon's category and panels.
constexpr const char* kRibbonCategory = "KOVA";
constexpr const char* kPanelTest = "Test";
constexpr const char* kPanelTestPlan = "Test Plan";
constexpr const char* kPanelWindow = "Window";
constexpr const char* kPanelApplication = "Application";
constexpr const char* kAssessmentMenuTitle = "&Assessment";
constexpr const char* kWindowMenuTitle = "&Window";
constexpr const char* kHelpMenuTitle = "&Help";

// The overlay command's rule: 2 or 3 files, else the message.
constexpr const char* kOverlayPrompt = "Select Tests to overlay by holding down control key";
constexpr const char* kOverlayCountMessage = "Select only 2-3 files to overlay";
bool OverlaySelectionValid(size_t count);

// Visual styles stored as "ApplicationLook" (identifiers 163 to 167 and on).
struct ApplicationLook {
  int id;
  const char* caption;
  const char* style;  // the window toolkit's style name
  bool dark;
};
const std::vector<ApplicationLook>& ApplicationLooks();
constexpr int kDefaultApplicationLook = 163;
// The stored look, or the default when the stored value is unknown.
const ApplicationLook& LookById(int id);

}  // namespace kova
