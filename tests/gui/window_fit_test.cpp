// Windows that fit a 1366x768 laptop: the main window, the Library window
// and the dialogs open within the screen, with every widget on it, and the
// main window opens again where it was closed.

#include <gtest/gtest.h>

#include <QAbstractScrollArea>
#include <QApplication>
#include <QScreen>
#include <QTest>
#include <functional>
#include <memory>

#include "app/setup_model.h"
#include "app/window_place.h"
#include "base/path.h"
#include "desktop_setup.h"
#include "gui/library/library_command.h"
#include "gui/setup_dialog.h"
#include "gui/test_browser_dialog.h"
#include "gui_test_app.h"
#include "support/record_fixtures.h"

namespace kova {
namespace {

// Widgets inside a scrolled area may lie beyond it by design.
bool InsideScrolledContent(const QWidget* w) {
  for (const QWidget* p = w->parentWidget(); p != nullptr; p = p->parentWidget())
    if (qobject_cast<const QAbstractScrollArea*>(p) != nullptr) return true;
  return false;
}

// The window's frame and every visible widget in it lie within `screen`.
void ExpectWithin(QWidget* window, const QRect& screen, const char* what) {
  SCOPED_TRACE(what);
  EXPECT_TRUE(screen.contains(window->frameGeometry()))
      << "frame " << window->frameGeometry().x() << "," << window->frameGeometry().y() << " "
      << window->frameGeometry().width() << "x" << window->frameGeometry().height();
  for (QWidget* w : window->findChildren<QWidget*>()) {
    if (!w->isVisible() || w->isWindow() || InsideScrolledContent(w)) continue;
    const QRect at(w->mapToGlobal(QPoint(0, 0)), w->size());
    EXPECT_TRUE(screen.contains(at))
        << w->metaObject()->className() << " '" << w->objectName().toStdString() << "' at "
        << at.x() << "," << at.y() << " " << at.width() << "x" << at.height();
  }
}

struct WindowFitTest : ::testing::Test {
  void SetUp() override {
    GuiTestApp();
    if (QGuiApplication::platformName() != QStringLiteral("offscreen"))
      GTEST_SKIP() << "the laptop screen is made by the offscreen platform";
    screen = QGuiApplication::primaryScreen()->availableGeometry();
    ASSERT_EQ(screen.size(), QSize(kTestScreenWidth, kTestScreenHeight));
  }
  std::string folder = TempFolder("window-fit");
  QRect screen;
};

TEST_F(WindowFitTest, EveryWindowAndDialogOpensWithinTheScreen) {
  DesktopSetup desk(folder);
  auto window = std::make_unique<MainWindow>(desk.ctx);
  window->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
  ExpectWithin(window.get(), screen, "main window");

  QWidget* library = OpenLibraryWindow(
      window.get(), desk.store, [](const std::string&) {}, PathJoin(folder, "library.sqlite"));
  ASSERT_NE(library, nullptr);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(library));
  ExpectWithin(library, screen, "Library window");
  library->close();

  SetupDialog setup(LoadSetup(desk.settings, desk.info, SetupPortList(false, {}, {}), false),
                    desk.prompter, window.get());
  setup.show();
  ExpectWithin(&setup, screen, "Application Setup");

  TestBrowserDialog browser(desk.info, desk.store, desk.prompter, "Select Test(s)", true,
                            window.get());
  browser.show();
  ExpectWithin(&browser, screen, "test browser");

  // A dialog asking for more than the screen has is shrunk and moved in.
  QDialog big(window.get());
  big.resize(1900, 1200);
  big.move(-300, 500);
  big.show();
  ExpectWithin(&big, screen, "oversized dialog");
}

TEST_F(WindowFitTest, TheMainWindowOpensWhereItClosedOnThisScreen) {
  DesktopSetup desk(folder);
  {
    MainWindow window(desk.ctx);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    window.setGeometry(100, 80, 900, 600);
    window.close();
  }
  const std::optional<PlaceRect> kept =
      KeptPlace(desk.store, "Main", {screen.x(), screen.y(), screen.width(), screen.height()});
  ASSERT_TRUE(kept.has_value());
  EXPECT_EQ(kept->width, 900);
  MainWindow again(desk.ctx);
  again.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&again));
  EXPECT_EQ(again.geometry().size(), QSize(900, 600));
  EXPECT_EQ(again.geometry().topLeft(), QPoint(100, 80));
}

}  // namespace
}  // namespace kova
