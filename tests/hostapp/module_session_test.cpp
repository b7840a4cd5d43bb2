// The host's side of a run: how a document is described in the FilterRecord, and the
// `selectors` command driving the module linked into this program.
#include "hostapp/module_session.h"

#include <gtest/gtest.h>

#include <sstream>

#include "host/entry_point.h"
#include "hostapi/constants.h"
#include "hostapp/filter_record_setup.h"
#include "hostapp/selector_command.h"
#include "platform/driver.h"

namespace {

TEST(FilterRecordSetup, DescribesTheDocumentAsAHostWould) {
  struct Case {
    int16 mode;
    int16 extraPlanes;
    int16 planes;
  };
  for (Case c : {Case{plugInModeGrayScale, 0, 1}, Case{plugInModeRGBColor, 1, 4},
                 Case{plugInModeCMYKColor, 0, 4}, Case{plugInModeLabColor, 0, 3}}) {
    SCOPED_TRACE(c.mode);
    DocumentDescription document;
    document.width = 6;
    document.height = 5;
    document.mode = c.mode;
    document.extraPlanes = c.extraPlanes;
    document.horizontalResolution = 300 << 16;
    document.verticalResolution = 150 << 16;
    FilterRecord record;
    describeDocument(&record, document, nullptr, nullptr);
    EXPECT_EQ(record.planes, c.planes);
    EXPECT_EQ(record.imageMode, c.mode);
    EXPECT_EQ(record.imageSize.h, 6);
    EXPECT_EQ(record.imageSize.v, 5);
    EXPECT_EQ(record.imageHRes, 300 << 16);
    EXPECT_EQ(record.imageVRes, 150 << 16);
    EXPECT_EQ(record.inputRate, 1 << 16);
    EXPECT_EQ(Handle(record.parameters), nullptr);  // by value: the field may be misaligned
  }
}

TEST(FilterRecordSetup, FilterRectIsTheSelectionOrTheWholeDocument) {
  struct Case {
    Rect selection;
    Rect filtered;
  };
  for (Case c : {Case{{0, 0, 0, 0}, {0, 0, 5, 6}}, Case{{1, 2, 4, 5}, {1, 2, 4, 5}},
                 Case{{3, 3, 3, 5}, {0, 0, 5, 6}}}) {
    DocumentDescription document;
    document.width = 6;
    document.height = 5;
    document.filterRect = c.selection;
    Rect rect = effectiveFilterRect(document);
    EXPECT_EQ(
        (std::vector<int>{rect.top, rect.left, rect.bottom, rect.right}),
        (std::vector<int>{c.filtered.top, c.filtered.left, c.filtered.bottom, c.filtered.right}));
  }
}

TEST(ModuleSession, KeepsOneRecordAndTheDataSlotBetweenCalls) {
  platform::driver::reset();
  DocumentDescription document;
  document.width = 6;
  document.height = 5;
  ModuleSession session(ENTRYPOINT, document);
  FilterRecord* record = &session.record();
  EXPECT_EQ(session.call(filterSelectorParameters), noErr);
  intptr_t slot = session.dataSlot();
  EXPECT_EQ(session.call(filterSelectorParameters), noErr);
  EXPECT_EQ(session.dataSlot(), slot);
  EXPECT_EQ(&session.record(), record);
  EXPECT_EQ(record->handleProcs, session.handles().procs());
}

std::string runSelectors(const std::vector<std::string>& args, int* status) {
  platform::driver::reset();
  std::ostringstream out, err;
  *status = runSelectorCommand(ENTRYPOINT, args, out, err);
  return out.str() + err.str();
}

TEST(SelectorCommand, PrintsOneLinePerCall) {
  int status = 0;
  std::string output = runSelectors({"--fail-allocation", "1", "1", "1", "6"}, &status);
  EXPECT_EQ(status, 0);
  std::istringstream lines(output);
  std::string line;
  std::vector<std::string> all;
  while (std::getline(lines, line)) {
    all.push_back(line);
  }
  ASSERT_EQ(all.size(), 3u);
  EXPECT_EQ(all[0], "selector 1: result -108, data 0x0, allocations 1, live 0, locked 0");
  EXPECT_EQ(all[1].rfind("selector 1: result 0, data 0x", 0), 0u);
  EXPECT_NE(all[1].find(", allocations 3, live 2, locked 0"), std::string::npos);
  EXPECT_EQ(all[2].substr(all[2].find(", data")), all[1].substr(all[1].find(", data")));
}

TEST(SelectorCommand, RefusesWhatItDoesNotUnderstand) {
  for (const std::vector<std::string>& args :
       std::vector<std::vector<std::string>>{{},
                                             {"--handles", "some"},
                                             {"--size", "0x4", "1"},
                                             {"x"},
                                             {"1", "--fail-allocation"},
                                             {"--mode", "99", "1"},
                                             {"70000"}}) {
    int status = 0;
    std::string output = runSelectors(args, &status);
    EXPECT_EQ(status, 2) << output;
    EXPECT_EQ(output.rfind("selectors: ", 0), 0u) << output;
  }
}

}  // namespace
