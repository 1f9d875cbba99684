#include "app/LauncherEntry.h"

#include <array>
#include <cfenv>
#include <optional>

#include "GbkTexts.h"
#include "app/DesktopLauncherHost.h"
#include "app/LauncherWindow.h"
#include "app/TemplateChoices.h"
#include "app/WindowControls.h"
#include "frame/FrameState.h"
#include "frame/MessageLoop.h"
#include "frame/Startup.h"
#include "launcher/ElevatedApplyArgument.h"
#include "launcher/LauncherFlow.h"
#include "services/MessageBox.h"

namespace {

LauncherFlow* activeFlow = nullptr;

// The handlers bound to the template's event names: each hands its event to the flow.
std::optional<int32_t> handleWindowCreated(std::span<const int32_t>) {
  activeFlow->onWindowCreated();
  return std::nullopt;
}

std::optional<int32_t> handleStartGameClicked(std::span<const int32_t>) {
  activeFlow->onStartGameClicked();
  return std::nullopt;
}

// The handlers that the window template names, each in the place its name has.
constexpr std::array<EventHandler, launcher_handler::count> launcherHandlers = [] {
  std::array<EventHandler, launcher_handler::count> table{};
  table[launcher_handler::onWindowCreated] = &handleWindowCreated;
  table[launcher_handler::onStartGameClicked] = &handleStartGameClicked;
  return table;
}();

// The launcher keeps nothing to release at the end.
void launcherEnd() {}

}  // namespace

int launcherEntry() {
  WindowControls controls;
  DesktopLauncherHost host;
  LauncherFlow flow(controls, host);
  activeFlow = &flow;

  startFrame(launcherHandlers);
  // The weapon number is computed in double precision and truncated: what start-up loaded
  // (OLE and the libraries it brings) may have changed the rounding or unmasked an
  // exception, so the default environment is put back before the launcher's own arithmetic.
  std::fesetenv(FE_DFL_ENV);
  setEndHandler(&launcherEnd);
  loadStartupWindow(launcherWindowId);
  runMessageLoop();
  activeFlow = nullptr;
  return 0;
}

int administratorEntry(std::wstring_view arguments) {
  constexpr int argumentRejected = 2;
  // No window is built, so no event is raised: the template gives the lists' entries.
  constexpr std::array<EventHandler, launcher_handler::count> unbound{};
  startFrame(unbound);
  TemplateChoices choices;
  const std::optional<LauncherSettings> settings =
      parseElevatedApplyArgument(arguments, choices.sizes());
  int code = argumentRejected;
  if (!settings) {
    messageBox(gbk::argumentsRejected, 0);
  } else {
    choices.choose(*settings);
    DesktopLauncherHost host;
    LauncherFlow flow(choices, host);
    code = static_cast<int>(flow.writeAsAdministrator() ? administratorWroteAll
                                                        : administratorReportedUnwritten);
  }
  stopFrame();
  return code;
}
