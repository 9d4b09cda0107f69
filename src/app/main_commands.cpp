#include "app/main_commands.h"

namespace kova {

namespace {
using N = CommandNeeds;
using P = CommandPlace;
}  // namespace

const std::vector<CommandInfo>& MainCommands() {
  static const std::vector<CommandInfo> commands = {
      {CommandId::kOpenTest, "Open", "Recall Test\tCtrl+O", "Ctrl+O", P::kFileMenu, N::kNothing},
      {CommandId::kOverlayTest, "Overlay", "Overlay Tests", "", P::kFileMenu, N::kNothing},
      {CommandId::kRunTest, "Run", "Run Test", "", P::kFileMenu, N::kNothing},
      {CommandId::kTestDirectory, "Download from Device",
       "Retrieve Test Record From Device...\tCtrl+D", "Ctrl+D", P::kFileMenu, N::kNothing},
      {CommandId::kResendTest, "", "Resend-Test", "", P::kFileMenu, N::kNothing},
      {CommandId::kReturnToPanel, "", "Return Device to Panel Control", "", P::kFileMenu,
       N::kNothing},
      {CommandId::kSaveTest, "Save", "Save\tCtrl+S", "Ctrl+S", P::kFileMenu, N::kLoaded},
      {CommandId::kSaveAs, "Save As", "Save As...", "", P::kFileMenu, N::kLoaded},
      {CommandId::kCloseTest, "Unload", "Unload Test", "", P::kFileMenu, N::kLoaded},
      {CommandId::kEditTest, "Edit", "Edit Test\tCtrl+E", "Ctrl+E", P::kFileMenu, N::kSingleRecord},
      {CommandId::kOverrideData, "", "Override Test Data", "", P::kFileMenu, N::kSingleRecord},
      {CommandId::kExport, "Export", "Export", "", P::kFileMenu, N::kLoaded},
      {CommandId::kExportText, "", "Export Test to Text File", "", P::kFileMenu, N::kNothing},
      {CommandId::kExportExcel, "", "Export Test to Excel", "", P::kFileMenu, N::kNothing},
      {CommandId::kTestUtilities, "File Utilities", "Test Records Folder", "",
       P::kFileUtilitiesMenu, N::kNothing},
      {CommandId::kFileManipulation, "", "File Manipulation", "", P::kFileUtilitiesMenu,
       N::kNothing},
      {CommandId::kCreatePlan, "New", "Create Test Plan", "", P::kTestPlanMenu, N::kNothing},
      {CommandId::kModifyPlan, "Modify Plan", "Modify Test Plan", "", P::kTestPlanMenu,
       N::kNothing},
      {CommandId::kUploadPlan, "Upload to Device", "Transfer Test Plan to KOVA", "",
       P::kTestPlanMenu, N::kNothing},
      {CommandId::kDownloadPlan, "Download from Device", "Download Test Plan", "", P::kTestPlanMenu,
       N::kNothing},
      {CommandId::kExportPlanToDrive, "Export Plan", "Export Test Plan to Thumb Drive", "",
       P::kTestPlanMenu, N::kNothing},
      {CommandId::kImportPlanFromDrive, "", "Import Test Plan from Thumb Drive", "",
       P::kTestPlanMenu, N::kNothing},
      {CommandId::kPlanUtilities, "File Utilities", "Test Plans Folder", "", P::kFileUtilitiesMenu,
       N::kNothing},
      {CommandId::kAppSetup, "Settings", "Application Setup...", "", P::kApplication, N::kNothing},
      {CommandId::kNewDocument, "", "&New\tCtrl+N", "Ctrl+N", P::kApplication, N::kNothing},
      {CommandId::kPrint, "Print", "&Print...\tCtrl+P", "Ctrl+P", P::kApplication, N::kLoaded},
      {CommandId::kPrintPreview, "Print Preview", "Print Pre&view", "", P::kApplication,
       N::kLoaded},
      {CommandId::kPrintSetup, "", "P&rint Setup...", "", P::kApplication, N::kNothing},
      {CommandId::kSavePdf, "Save as PDF", "Save as PDF...", "", P::kApplication, N::kLoaded},
      {CommandId::kCloseWindow, "", "&Close\tCtrl+F4", "Ctrl+F4; Ctrl+W", P::kApplication,
       N::kDocument},
      {CommandId::kExit, "", "E&xit", "", P::kApplication, N::kNothing},
      {CommandId::kLibrary, "", "Library...", "", P::kFileUtilitiesMenu, N::kNothing},
      // The profile and the reference are kept beside the record's file or
      // for its CT, so they need a record that has a file.
      {CommandId::kAssessmentProfile, "", "Assessment &Profile...", "", P::kAssessmentMenu,
       N::kSavedRecord},
      {CommandId::kImportReferenceCurve, "", "Import &Reference Curve...", "", P::kAssessmentMenu,
       N::kSavedRecord},
      {CommandId::kCompareSisterPhases, "", "Compare &Sister Phases...", "", P::kAssessmentMenu,
       N::kSavedRecord},
      {CommandId::kNextDocument, "", "&Next Document\tCtrl+Tab", "Ctrl+Tab", P::kWindowMenu,
       N::kDocument},
      {CommandId::kPreviousDocument, "", "&Previous Document\tCtrl+Shift+Tab", "Ctrl+Shift+Tab",
       P::kWindowMenu, N::kDocument},
      {CommandId::kKeyboardShortcuts, "", "&Keyboard Shortcuts\tF1", "F1", P::kHelpMenu,
       N::kNothing},
      {CommandId::kAbout, "", "&About KOVA...", "", P::kHelpMenu, N::kNothing},
  };
  return commands;
}

const char* RibbonTip(CommandId id) {
  switch (id) {
    case CommandId::kTestDirectory:
      return "Download test records from the instrument";
    case CommandId::kDownloadPlan:
      return "Download test plans from the instrument's plan slots";
    case CommandId::kTestUtilities:
      return "Open the folder of the test records";
    case CommandId::kPlanUtilities:
      return "Open the folder of the test plans";
    default:
      return "";
  }
}

int CommandOrder(CommandId id) {
  const std::vector<CommandInfo>& all = MainCommands();
  for (size_t i = 0; i < all.size(); ++i)
    if (all[i].id == id) return static_cast<int>(i);
  return -1;
}

const CommandInfo* FindCommand(CommandId id) {
  for (const CommandInfo& c : MainCommands())
    if (c.id == id) return &c;
  return nullptr;
}

bool CommandEnabled(CommandId id, const DocumentState& s) {
  const CommandInfo* c = FindCommand(id);
  if (c == nullptr) return false;
  switch (c->needs) {
    case N::kNothing:
      return true;
    case N::kDocument:
      return s.has_document;
    case N::kLoaded:
      return s.has_document && s.loaded;
    case N::kSingleRecord:
      return s.has_document && s.loaded && !s.overlay;
    case N::kSavedRecord:
      return s.has_document && s.loaded && !s.overlay && s.saved;
  }
  return false;
}

bool OverlaySelectionValid(size_t count) { return count == 2 || count == 3; }

const std::vector<ApplicationLook>& ApplicationLooks() {
  static const std::vector<ApplicationLook> looks = {
      {163, "Light", "Fusion", false},    {164, "Dark", "Fusion", true},
      {165, "Classic", "Windows", false}, {166, "Blue", "Fusion", false},
      {167, "System", "", false},
  };
  return looks;
}

const ApplicationLook& LookById(int id) {
  for (const ApplicationLook& l : ApplicationLooks())
    if (l.id == id) return l;
  return ApplicationLooks().front();
}

}  // namespace kova
