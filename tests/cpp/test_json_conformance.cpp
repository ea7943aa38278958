#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "agent/action_decoder.h"
#include "json/json_error.h"
#include "json/json_reader.h"

namespace ondrel {
namespace {

// The public JSON parsing corpus: y_ texts are JSON, n_ texts are not, i_
// texts are left to the reader. None is an action, so decoding fails on all
// of them; what matters is why.
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

bool is_syntax_message(const std::string& message) {
  for (std::size_t code = 0; code < kJsonErrorCodeCount; ++code) {
    const std::string prefix = std::string(json_error_text(static_cast<JsonErrorCode>(code))) + " at line ";
    if (message.starts_with(prefix)) return true;
  }
  return false;
}

std::string syntax_message(const std::string& text) {
  const auto error = JsonReader::check_document(text);
  return error ? json_error_message(*error, text) : "";
}

TEST(JsonConformance, AllowedTextsReadForbiddenOnesFailAndDecodingReportsTheFirstSyntaxError) {
  int allowed = 0;
  int forbidden = 0;
  for (const auto& file : corpus()) {
    const std::string syntax = syntax_message(file.text);
    const DecodeResult result = decode_action(file.text);
    ASSERT_FALSE(result.ok()) << file.name;
    if (file.name.starts_with("y_")) {
      ++allowed;
      EXPECT_EQ(syntax, "") << file.name;
      EXPECT_FALSE(is_syntax_message(result.message())) << file.name << ": " << result.message();
    } else if (file.name.starts_with("n_")) {
      // The decoder may stop at a misplaced tag before it meets the syntax
      // error (`[1 true]`), so the reader alone must find one.
      ++forbidden;
      EXPECT_NE(syntax, "") << file.name;
    }
    if (is_syntax_message(result.message())) {
      EXPECT_EQ(result.message(), syntax) << file.name << ": the first syntax error";
    }
  }
  EXPECT_GT(allowed, 90) << "the corpus is there";
  EXPECT_GT(forbidden, 180) << "the corpus is there";
}

}  // namespace
}  // namespace ondrel
