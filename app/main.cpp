// orvane: the program. Its start, command line and runs without a window are
// the application's (app/TOrvaneApp.h).

#include <string>
#include <utility>

#include "app/TOrvaneApp.h"

int main(int argc, char** argv) {
  orvane::StartOptions options;
  std::string error;
  if (!orvane::TOrvaneApp::ParseCommandLine(argc, argv, options, error)) return orvane::TOrvaneApp::Usage(error);
  orvane::TOrvaneApp::PrepareEnvironment(options);
  orvane::TOrvaneApp app(argc, argv, std::move(options));
  return app.Run();
}
