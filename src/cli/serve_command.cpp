// kova serve: the record library in a web browser, read-only.

#include <CLI/CLI.hpp>
#include <iostream>

#include "app/library_settings.h"
#include "base/codepage.h"
#include "cli/cli_context.h"
#include "cli/interrupt_cancel.h"
#include "library/store_messages.h"
#include "library_stores/open_library.h"
#include "web/listen_address.h"
#include "web/web_server.h"
#include "web/web_site.h"

namespace kova {

namespace {

struct ServeOptions {
  std::string location, listen = kDefaultListen, base_path;
  bool check = false;
};

void RunServe(CliContext& ctx, const ServeOptions& o) {
  ctx.exit_code = 1;
  ListenAddress address;
  std::string why;
  if (!ParseListenAddress(o.listen, address, why)) {
    PrintError("--listen: " + why);
    return;
  }
  if (!IsBasePath(o.base_path)) {
    PrintError("--base-path: \"" + o.base_path +
               "\" is not a path like /kova (a leading slash, no trailing one, letters, digits, "
               "- . _ ~ between)");
    return;
  }
  const std::string location = ConfiguredLibraryLocation(*ctx.store, o.location);
  StoreOutcome outcome;
  auto store = OpenConfiguredLibrary(*ctx.store, o.location, LibraryUse::kReadOnly, outcome);
  if (!store) {
    PrintError(Cp1252ToUtf8(StoreOutcomeText(outcome)));
    return;
  }
  WebSiteOptions options;
  options.base_path = o.base_path;
  options.retest_years = LoadLibrarySettings(*ctx.store).retest_years;
  options.bands = store->StateBands();
  WebSite site(*store, options);
  const std::string shown = ShownLibraryLocation(location);
  if (o.check) {
    const WebResponse page = site.Answer({"GET", o.base_path + "/"});
    if (page.status != 200) {
      PrintError("The library " + shown + " opens but its fleet page cannot be made (status " +
                 std::to_string(page.status) + ")");
      return;
    }
    std::cout << "The library " << shown << " opens read-only and its fleet page answers\n";
    ctx.exit_code = 0;
    return;
  }
  WebServer server(site, ServerLimits());
  if (!server.Bind(address, why)) {
    PrintError(why);
    return;
  }
  std::cerr << "Serving the library " << shown << " read-only at " << ListenUrl(address)
            << o.base_path << "/ (Ctrl-C stops)" << std::endl;
  InterruptCancels stop([&server] { server.Stop(); });
  if (!server.Run() && stop.Signal() == 0) {
    PrintError("The server stopped: it could not go on listening on " + ListenUrl(address));
    return;
  }
  ctx.exit_code = 0;
}

}  // namespace

void AddServeCommand(CLI::App& app, CliContext& ctx) {
  auto o = std::make_shared<ServeOptions>();
  CLI::App* serve = app.add_subcommand(
      "serve", "Show the record library in a web browser, read-only (fleet, CTs, records)");
  serve->add_option("--library", o->location,
                    "A SQLite file or a postgresql:// URI (default: the setting, else the file "
                    "in the user's data folder)");
  serve->add_option("--listen", o->listen, "Address and port to listen on")->capture_default_str();
  serve->add_option("--base-path", o->base_path,
                    "Where the pages are under a reverse proxy, e.g. /kova (default: /)");
  serve->add_flag("--check", o->check,
                  "Open the library, make the fleet page once and exit: 0 when it answers");
  serve->callback([&ctx, o] { RunServe(ctx, *o); });
}

}  // namespace kova
