#pragma once
// Writes data tables (.LDT): columns first, then rows of typed cells.

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "archive/stream.h"

namespace varune {

class TLdtWriter {
 public:
  // A cell's value: std::string for type 1 (UTF-8), uint32_t for 2, int32_t
  // for 3, float for 4, std::monostate for any other type.
  using TCell = std::variant<std::monostate, std::string, uint32_t, int32_t, float>;

  // Adds a column and returns its index. The name (UTF-8) must fit 64 bytes of
  // code page 932; at most 128 columns, all added before the first row.
  int32_t AddColumn(std::string name, int32_t type);
  void SetUnknown(int32_t unknown) { FUnknown = unknown; }

  // Adds a row: one cell per column, each matching its column's type; a text
  // must fit 65535 bytes of code page 932. Mismatches raise varune::Error.
  void AddRow(int32_t key, std::vector<TCell> cells);

  void SaveToStream(TStream& stream) const;
  std::vector<uint8_t> SaveToBytes() const;

 private:
  struct TColumn {
    std::string Name;  // code page 932
    int32_t Type;
  };
  int32_t FUnknown = 0;
  std::vector<TColumn> FColumns;
  std::vector<uint8_t> FData;  // the data area, rows as they will be stored
  int32_t FRowCount = 0;
};

}  // namespace varune
