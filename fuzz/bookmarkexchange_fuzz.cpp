// Bookmark exchange files: an import either fails whole or accepts only rows a record can hold, and
// exporting the accepted rows and importing them again gives the same rows. The first byte chooses
// CSV (even) or JSON (odd); the rest is the file.
#include <cstdint>
#include <string>

#include "bookmarks/bookmarkexchange.h"
#include "fuzz_common.h"
#include "storage/fields.h"

namespace {

bool Storable(const std::string& text) {
  return text.find_first_of(std::string("\r\n\0", 3) + orv::FieldSeparator) == std::string::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  orv::fuzzing::Input input(data, size);
  const bool json = input.Byte() & 1;
  const std::string file = input.Rest();
  orv::ImportTarget target;
  target.currentMap = "britain.dem";
  target.newId = [] { return std::string("AaBb0CcD1d"); };
  auto import = [&](const std::string& bytes) {
    return json ? orv::ImportJson(bytes, target) : orv::ImportCsv(bytes, target);
  };
  const orv::ImportResult result = import(file);
  if (!result.ok()) {
    ORV_CHECK(result.rows.empty());
    return 0;
  }
  std::vector<orv::ExchangeRow> rows;
  for (const auto& imported : result.rows) {
    const orv::ExchangeRow& r = imported.row;
    ORV_CHECK(orv::InsideWorld(r.world));
    ORV_CHECK(Storable(r.name) && Storable(r.face) && Storable(r.style) && !r.face.empty());
    for (const auto& line : r.notes) ORV_CHECK(Storable(line));
    rows.push_back(r);
  }
  const orv::ImportResult again = import(json ? orv::ExportJson(rows) : orv::ExportCsv(rows));
  ORV_CHECK(again.ok() && again.rows.size() == rows.size());
  for (std::size_t i = 0; i < rows.size(); ++i) ORV_CHECK(again.rows[i].row == rows[i]);
  return 0;
}
