#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "agent/json_error.h"
#include "agent/json_reader.h"

namespace ondrel {
namespace {

// The public JSON parsing corpus: y_ texts are JSON, n_ texts are not, i_
// texts are left to the reader.
const std::filesystem::path kCorpus = std::filesystem::path(ONDREL_TEST_DATA_DIR) / "jsontestsuite" / "test_parsing";

struct CorpusFile {
  std::string name;
  std::string text;
};

std::vector<CorpusFile> corpus() {
  std::vector<CorpusFile> files;
  for (const auto& entry : std::filesystem::directory_iterator(kCorpus)) {
    std::ifstream in(entry.path(), std::ios::binary);
    files.push_back({entry.path().filename().string(), std::string(std::istreambuf_iterator<char>(in), {})});
  }
  std::sort(files.begin(), files.end(), [](const auto& a, const auto& b) { return a.name < b.name; });
  return files;
}

std::string syntax_message(const std::string& text) {
  const auto error = JsonReader::check_document(text);
  return error ? json_error_message(*error, text) : "";
}

TEST(JsonConformance, CorpusIsThere) {
  const auto files = corpus();
  EXPECT_GT(std::count_if(files.begin(), files.end(), [](const auto& f) { return f.name.starts_with("y_"); }), 90);
  EXPECT_GT(std::count_if(files.begin(), files.end(), [](const auto& f) { return f.name.starts_with("n_"); }), 180);
}

TEST(JsonConformance, AllowedTextsHaveNoSyntaxError) {
  for (const auto& file : corpus()) {
    if (!file.name.starts_with("y_")) continue;
    EXPECT_EQ(syntax_message(file.text), "") << file.name;
  }
}

TEST(JsonConformance, ForbiddenTextsFailWithASyntaxError) {
  for (const auto& file : corpus()) {
    if (!file.name.starts_with("n_")) continue;
    EXPECT_NE(syntax_message(file.text), "") << file.name;
  }
}

}  // namespace
}  // namespace ondrel
