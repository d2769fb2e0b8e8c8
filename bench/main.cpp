// Burst benchmark: one search answered by N cameras at once. Run inside a
// private network namespace (make bench). Without arguments it runs every
// scenario in a fresh child process per run and prints the table; with
// arguments it is that child.
#include <QApplication>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "discovery/channel.h"
#include "scenarios.h"

namespace {

// What a stock desktop grants: net.core.rmem_max of 212,992, doubled by the kernel.
constexpr int kStockDesktopRequest = 212992;

// A third party in the field streamed this many datagrams a second that are no answer.
constexpr int kFieldJunkPerSecond = 1000;

struct Scenario {
  const char* name;
  const char* mode;
  int buffer;
  int junkPerSecond = 0;
};

constexpr Scenario kScenarios[] = {
    {"page", "page", discovery::kWantedReceiveBuffer},
    {"page, capped buffer", "page", kStockDesktopRequest},
    {"page, 1,000 junk datagrams/s", "page", discovery::kWantedReceiveBuffer, kFieldJunkPerSecond},
    {"terminal: search --format csv", "terminal", discovery::kWantedReceiveBuffer},
    {"bare receiver", "bare", discovery::kWantedReceiveBuffer},
    {"bare receiver, capped buffer", "bare", kStockDesktopRequest},
    {"literal baseline", "literal", 0},
};

int runChild(int argc, char** argv) {
  const std::string mode = argv[2];
  const std::size_t cameras = std::strtoul(argv[3], nullptr, 10);
  const int buffer = std::atoi(argv[4]);
  const int junkPerSecond = std::atoi(argv[5]);
  bench::Outcome outcome;
  if (mode == "bare") {
    outcome = bench::measureBare(cameras, buffer);
  } else if (mode == "terminal") {
    outcome = bench::measureTerminal(cameras);
  } else {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    outcome = mode == "page" ? bench::measurePage(cameras, buffer, junkPerSecond) : bench::measureLiteral(cameras);
  }
  std::printf("%zu %.3f %.3f %.1f %zu\n", outcome.listed, outcome.millisecondsToLast, outcome.longestStallMs,
              outcome.residentBytesPerCamera, outcome.searches);
  return 0;
}

struct Series {
  std::vector<double> listedShare, milliseconds, stall, bytesPerCamera, searches;
  int complete = 0;
};

std::string spread(std::vector<double> values, const char* format) {
  std::sort(values.begin(), values.end());
  char text[96];
  const auto show = [&](double v) {
    char one[32];
    std::snprintf(one, sizeof one, format, v);
    return std::string(one);
  };
  std::snprintf(text, sizeof text, "%s (%s–%s)", show(values[values.size() / 2]).c_str(), show(values.front()).c_str(),
                show(values.back()).c_str());
  return text;
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 6 && std::strcmp(argv[1], "--child") == 0) return runChild(argc, argv);
  const int runs = argc > 1 ? std::max(5, std::atoi(argv[1])) : 10;
  const std::vector<std::size_t> sizes{1000, 10000, 50000};

  std::printf("%d runs per cell; median (min–max)\n\n", runs);
  std::printf("| N | scenario | listed / N | complete runs | searches answered | ms to last row | "
              "longest UI stall ms | resident bytes per camera |\n|---|---|---|---|---|---|---|---|\n");
  for (const std::size_t cameras : sizes) {
    std::map<std::string, Series> results;
    for (const Scenario& scenario : kScenarios) {
      Series& series = results[scenario.name];
      for (int run = 0; run < runs; ++run) {
        const std::string command = std::string(argv[0]) + " --child " + scenario.mode + " " +
                                    std::to_string(cameras) + " " + std::to_string(scenario.buffer) + " " +
                                    std::to_string(scenario.junkPerSecond);
        FILE* child = popen(command.c_str(), "r");
        std::size_t listed = 0, searches = 0;
        double ms = 0, stall = 0, bytes = 0;
        const bool parsed =
            child && std::fscanf(child, "%zu %lf %lf %lf %zu", &listed, &ms, &stall, &bytes, &searches) == 5;
        if (child) pclose(child);
        if (!parsed) {
          std::fprintf(stderr, "a run of %s failed\n", scenario.name);
          return 1;
        }
        series.listedShare.push_back(100.0 * double(listed) / double(cameras));
        series.milliseconds.push_back(ms);
        series.stall.push_back(stall);
        series.bytesPerCamera.push_back(bytes);
        series.searches.push_back(double(searches));
        series.complete += listed == cameras;
      }
      const bool onUiThread = std::strcmp(scenario.mode, "page") == 0 || std::strcmp(scenario.mode, "literal") == 0;
      std::printf("| %zu | %s | %s%% | %d/%d | %s | %s | %s | %s |\n", cameras, scenario.name,
                  spread(series.listedShare, "%.1f").c_str(), series.complete, runs,
                  spread(series.searches, "%.0f").c_str(), spread(series.milliseconds, "%.1f").c_str(), onUiThread ? spread(series.stall, "%.1f").c_str() : "–",
                  std::strcmp(scenario.mode, "page") == 0 ? spread(series.bytesPerCamera, "%.0f").c_str() : "–");
      std::fflush(stdout);
    }
    const Series& page = results["page"];
    std::printf("| %zu | page ÷ bare receiver (time) | | | | %.2f× | | |\n", cameras,
                median(page.milliseconds) / median(results["bare receiver"].milliseconds));
    std::printf("| %zu | capped page ÷ page (time) | | | | %.2f× | | |\n", cameras,
                median(results["page, capped buffer"].milliseconds) / median(page.milliseconds));
    std::printf("| %zu | terminal ÷ page (time) | | | | %.2f× | | |\n", cameras,
                median(results["terminal: search --format csv"].milliseconds) / median(page.milliseconds));
    std::printf("| %zu | page beside junk ÷ page (time) | | | | %.2f× | | |\n", cameras,
                median(results["page, 1,000 junk datagrams/s"].milliseconds) / median(page.milliseconds));
    std::printf("| %zu | page ÷ literal baseline (listed) | %.2f× | | | | | |\n", cameras,
                median(page.listedShare) / median(results["literal baseline"].listedShare));
  }
  return 0;
}
