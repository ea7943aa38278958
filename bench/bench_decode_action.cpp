// Time per decode_action call on typical action texts, valid and failing.
//   cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DONDREL_BUILD_BENCH=ON -DONDREL_BUILD_MODULE=OFF
//   cmake --build build/bench && build/bench/bench/bench_decode_action [texts.jsonl]
// The texts file holds one JSON string per line, each the text of one action.
// bench/bench_decode_vs_json.py runs this next to CPython's json.loads.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "agent/action_decoder.h"
#include "json/json_reader.h"
#include "json/json_string.h"

namespace {

using Clock = std::chrono::steady_clock;

std::vector<std::string> load_texts(const std::string& path) {
  std::ifstream in(path);
  if (!in) {
    std::fprintf(stderr, "cannot read %s\n", path.c_str());
    std::exit(2);
  }
  std::vector<std::string> texts;
  for (std::string line; std::getline(in, line);) {
    if (line.empty()) continue;
    std::size_t pos = 0;
    ondrel::JsonString string;
    if (line.front() != '"' || ondrel::read_string(line, pos, string)) {
      std::fprintf(stderr, "%s: not a JSON string: %s\n", path.c_str(), line.c_str());
      std::exit(2);
    }
    texts.push_back(ondrel::decode_string(string));
  }
  return texts;
}

volatile std::size_t g_sink;

double batch_seconds(const std::string& text, long calls) {
  std::size_t sink = 0;
  const auto start = Clock::now();
  for (long i = 0; i < calls; ++i) {
    const ondrel::DecodeResult result = ondrel::decode_action(text);
    sink += result.ok() ? 1 : result.message().size();
  }
  const std::chrono::duration<double> elapsed = Clock::now() - start;
  g_sink = sink;
  return elapsed.count();
}

// Best of several batches of at least 20 ms each, in ns per call.
double ns_per_call(const std::string& text) {
  long calls = 1;
  while (batch_seconds(text, calls) < 0.02) calls *= 2;
  double best = 1e300;
  for (int batch = 0; batch < 7; ++batch) best = std::min(best, batch_seconds(text, calls));
  return best / static_cast<double>(calls) * 1e9;
}

std::string one_line(const std::string& text) {
  std::string shown;
  for (const char c : text) shown += c == '\n' ? std::string("\\n") : std::string(1, c);
  return shown.size() > 70 ? shown.substr(0, 67) + "..." : shown;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string path = argc > 1 ? argv[1] : ONDREL_BENCH_DIR "/action_texts.jsonl";
  const std::vector<std::string> texts = load_texts(path);
  double total = 0;
  for (const std::string& text : texts) {
    const double ns = ns_per_call(text);
    total += ns;
    const bool ok = ondrel::decode_action(text).ok();
    std::printf("%9.1f ns  %-7s %s\n", ns, ok ? "decoded" : "failed", one_line(text).c_str());
  }
  std::printf("%9.1f ns  mean over %zu texts\n", total / static_cast<double>(texts.size()), texts.size());
}
