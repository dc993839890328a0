// Commands that look into a client's archives and game files.

#include <ostream>

#include "archive/error.h"
#include "archive/spf.h"
#include "cli/cli.h"
#include "cli/tsv.h"
#include "formats/ldt.h"
#include "formats/seq.h"
#include "formats/tbl.h"

namespace varune::cli {
namespace {

using std::to_string;

const TSpfItemInfo& Resolve(TSpfManager& archives, const std::string& clientDir, const std::string& name) {
  AddClientArchives(archives, clientDir);
  const TSpfItemInfo* info = archives.GetItem(name);
  if (!info) throw Error("no file named " + name + " in the client's archives");
  return *info;
}

// Loads the game file `name` of the client into `reader`.
void LoadFromClient(TVaruneBase& reader, const std::string& clientDir, const std::string& name) {
  TSpfManager archives;
  reader.LoadFromSpfInfo(&Resolve(archives, clientDir, name));
}

void ArchiveList(const TArgs& args, std::ostream& out, std::ostream&) {
  args.ExpectPositional(1);
  TSpf spf;
  spf.LoadFromFile(args.Positional()[0]);
  WriteRow(out, {"index", "offset", "size", "unknown", "name"});
  for (int32_t i = 0; i < spf.Count(); ++i) {
    const TSpfHeader& header = spf.GetItem(i);
    WriteRow(out, {to_string(i), to_string(header.Offset), to_string(header.Size), to_string(header.Unknown),
                   header.FileName});
  }
}

void ArchiveExtract(const TArgs& args, std::ostream& out, std::ostream&) {
  args.ExpectPositional(2);
  TSpfManager archives;
  const TSpfItemInfo& info = Resolve(archives, args.Positional()[0], args.Positional()[1]);
  if (args.Has("-o")) {
    info.FSpf->SaveToFile(info.FIndex, args.Value("-o"));
    return;
  }
  TMemoryStream bytes;
  info.FSpf->SaveToStream(info.FIndex, bytes);
  out.write(reinterpret_cast<const char*>(bytes.Memory()), static_cast<std::streamsize>(bytes.Size()));
}

void TableDump(const TArgs& args, std::ostream& out, std::ostream&) {
  args.ExpectPositional(2);
  TLdt table;
  LoadFromClient(table, args.Positional()[0], args.Positional()[1]);
  std::vector<std::string> fields{"ID"};
  for (int32_t col = 0; col < table.ColCount(); ++col) fields.push_back(table.ColumnName(col));
  WriteRow(out, fields);
  for (int32_t row = 0; row < table.RowCount(); ++row) {
    fields.assign(1, to_string(table.GetIndex(row)));
    for (int32_t col = 0; col < table.ColCount(); ++col) {
      // Floats print exactly; the table's own text keeps only 7 digits.
      fields.push_back(table.ColumnType(col) == 4 ? FloatText(table.GetDataAsType4(col, row))
                                                  : table.GetData(col, row));
    }
    WriteRow(out, fields);
  }
}

void TblDump(const TArgs& args, std::ostream& out, std::ostream&) {
  args.ExpectPositional(2);
  TTbl tbl;
  LoadFromClient(tbl, args.Positional()[0], args.Positional()[1]);
  for (int32_t i = 0; i < tbl.Count(); ++i) {
    const TTblItem& item = tbl.GetItem(i);
    WriteRow(out, {"item", item.ID(), to_string(item.FCount), to_string(item.FCount2)});
    for (const TTblImage& cell : item.Images) {
      WriteRow(out, {"cell", to_string(cell.ID), to_string(cell.Offset.X), to_string(cell.Offset.Y),
                     FloatText(cell.RevX), FloatText(cell.RevY), to_string(cell.Rect.Left), to_string(cell.Rect.Top),
                     to_string(cell.Rect.Right), to_string(cell.Rect.Bottom), cell.FileName});
    }
  }
}

void MftDump(const TArgs& args, std::ostream& out, std::ostream&) {
  args.ExpectPositional(2);
  TMft mft;
  LoadFromClient(mft, args.Positional()[0], args.Positional()[1]);
  for (int32_t i = 0; i < mft.Count(); ++i) WriteRow(out, {mft.GetItem(i)});
}

void SeqDump(const TArgs& args, std::ostream& out, std::ostream&) {
  args.ExpectPositional(2);
  TSeq seq;
  LoadFromClient(seq, args.Positional()[0], args.Positional()[1]);
  for (int32_t i = 0; i < seq.Count(); ++i) {
    const TSeqFrame& frame = seq.GetItem(i);
    WriteRow(out, {"frame", to_string(i), to_string(frame.Number), FloatText(frame.Time), to_string(frame.Count)});
    for (const TSeqLayer& layer : frame.Items) {
      WriteRow(out, {"layer", to_string(layer.LayerNumber), to_string(layer.ImageIndex), to_string(layer.Angle),
                     to_string(layer.RevX), to_string(layer.RevY), to_string(layer.Visible)});
    }
  }
}

}  // namespace

void AddFileCommands(std::vector<TCommand>& commands) {
  commands.push_back({{"archive", "list"}, "ARCHIVE",
                      "one line per directory record: index, offset, size, unknown, name", ArchiveList});
  commands.push_back({{"archive", "extract"}, "CLIENT_DIR NAME [-o FILE]",
                      "writes the bytes of the archived file NAME to FILE or standard output", ArchiveExtract,
                      {"-o"}});
  commands.push_back({{"table", "dump"}, "CLIENT_DIR NAME",
                      "the data table NAME: a header of column names, then the row key and every cell of each row",
                      TableDump});
  commands.push_back({{"tbl", "dump"}, "CLIENT_DIR NAME",
                      "the sprite table NAME: item lines (ID, counts), each followed by its cell lines", TblDump});
  commands.push_back({{"mft", "dump"}, "CLIENT_DIR NAME", "the manifest NAME, one entry per line", MftDump});
  commands.push_back({{"seq", "dump"}, "CLIENT_DIR NAME",
                      "the sequence NAME: frame lines (index, number, time, layer count), each followed by its layers",
                      SeqDump});
}

}  // namespace varune::cli
