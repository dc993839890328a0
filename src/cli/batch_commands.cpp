// varune-cli batch: many pictures from one loaded client, drawn on several
// threads.
//
// Lines are read and checked on the calling thread a chunk at a time, then
// the chunk's pictures are drawn and written on all threads, then its
// results are told in line order. Every picture depends on its own line
// alone, so the files are the same whatever the number of threads, and so
// is what is printed.

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>
#include <ostream>
#include <sstream>
#include <thread>
#include <unordered_map>
#include <unordered_set>

#include "archive/error.h"
#include "archive/stream.h"
#include "character/chara.h"
#include "cli/cli.h"
#include "cli/picture_args.h"
#include "cli/tsv.h"
#include "viewer/export.h"

namespace varune::cli {
namespace {

// A list is text: a longer line means it is not one, and reading on could
// take for ever (a device that never sends a newline).
constexpr size_t kMaxLineBytes = 64 * 1024;
// Pictures checked before drawing starts: enough that the threads rarely
// wait for each other at a chunk's end, few enough to bound memory.
constexpr size_t kChunkSize = 256;
constexpr int32_t kMaxThreads = 256;
// The longest file name Linux takes.
constexpr size_t kMaxNameBytes = 255;

// Options of the whole batch that every picture takes before its line's own.
const std::vector<std::string> kDefaultOptions = {"--size", "--background", "--hide", "--anim", "--scale", "--padding"};
const std::vector<std::string> kDefaultFlags = {"--transparent", "--crop", "--flip"};

// One picture to draw, or a line already refused.
struct TJob {
  std::string Label;  // "line 7", "item 12040301"
  std::string FileName;
  std::optional<TPictureRequest> Request;  // empty once refused
  const TCharaView* View = nullptr;
  const TVaruneItem* Item = nullptr;  // with --every-item
  std::string Note;                   // told on stderr with the result: the seed of --random without one
  std::string Failure;
};

// A line's words: white space separates them, quotes ('...' or "...") keep
// it inside one.
std::vector<std::string> SplitWords(std::string_view text) {
  std::vector<std::string> words;
  size_t i = 0;
  while (true) {
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    if (i == text.size()) return words;
    std::string word;
    while (i < text.size() && text[i] != ' ' && text[i] != '\t') {
      const char c = text[i++];
      if (c != '"' && c != '\'') {
        word += c;
        continue;
      }
      const size_t close = text.find(c, i);
      if (close == std::string_view::npos) throw UsageError(std::string("a quote ") + c + " is not closed");
      word.append(text.substr(i, close - i));
      i = close + 1;
    }
    words.push_back(std::move(word));
  }
}

std::string_view Trim(std::string_view text) {
  const size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// A name must be one file right inside the output folder.
void CheckName(const std::string& name) {
  if (name.empty()) throw UsageError("the file name is empty");
  if (name.size() > kMaxNameBytes) throw UsageError("the file name is longer than 255 bytes");
  if (name.find_first_of("/\\") != std::string::npos || name.find("..") != std::string::npos || name[0] == '.')
    throw UsageError("the file name " + name + " must stay inside the output folder (no /, \\, .. or leading .)");
  for (const char c : name)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) throw UsageError("the file name has a control character");
}

TExportFormat ParseFormat(const std::string& text) {
  TExportFormat format;
  if (text.empty() || text[0] == '.' || !ExportFormatOf("." + text, false, format))
    throw UsageError("--format takes bmp, jpg, jpeg, png, gif, apng or webp");
  return format;
}

// What went wrong with one picture, options named as on the command line.
std::string FailureOf(const std::exception& error) {
  const auto* request = dynamic_cast<const TRequestError*>(&error);
  return request ? OptionMessage(*request) : error.what();
}

// Reads one line without its end (LF or CR LF); false at the end of the
// input. A line longer than the limit is cut there and `tooLong` set.
bool ReadLine(std::istream& in, std::string& line, bool& tooLong) {
  line.clear();
  tooLong = false;
  std::streambuf* buffer = in.rdbuf();
  for (;;) {
    const int c = buffer->sbumpc();
    if (c == std::char_traits<char>::eof()) {
      in.setstate(std::ios::eofbit);
      if (line.empty()) return false;
      break;
    }
    if (c == '\n') break;
    if (line.size() == kMaxLineBytes) {
      tooLong = true;
      return true;
    }
    line += static_cast<char>(c);
  }
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return true;
}

class TBatch {
 public:
  TBatch(TVaruneDatabase& DataBase, std::string Dir, int32_t Threads, std::ostream& Out, std::ostream& Err)
      : FDataBase(DataBase), FDir(std::move(Dir)), FThreads(Threads), FOut(Out), FErr(Err) {
    FChunk.reserve(kChunkSize);
  }

  // The options every picture of the batch takes first, from the command line.
  std::vector<std::string> Defaults;
  TExportFormat Format = xfPng;

  // Checks a picture's options and name; a refusal is kept and told in order.
  void Add(std::string Label, const std::vector<std::string>& Words, const std::string& Name,
           std::optional<int64_t> Number, const TVaruneItem* Item = nullptr) {
    TJob& job = FChunk.emplace_back();
    job.Label = std::move(Label);
    job.Item = Item;
    try {
      std::vector<std::string> words = Defaults;
      words.insert(words.end(), Words.begin(), Words.end());
      static const std::vector<std::string> values = WithRequestOptions({}, true);
      const TArgs args(words, values, kPictureFlags, {"--random"});
      if (!args.Positional().empty()) throw UsageError("unexpected " + args.Positional()[0]);
      TPictureRequest request;
      ReadRequest(args, request);
      Prepare(job, request, Name, Number);
      job.Note = RandomSeedNote(args, request);
      job.Request.emplace(std::move(request));
    } catch (const std::exception& error) {
      job.Failure = FailureOf(error);
    }
    if (FChunk.size() == kChunkSize) Run();
  }
  // Refuses a line outright.
  void Refuse(std::string Label, std::string Failure) {
    TJob& job = FChunk.emplace_back();
    job.Label = std::move(Label);
    job.Failure = std::move(Failure);
    if (FChunk.size() == kChunkSize) Run();
  }

  // Draws and writes what is waiting, then tells how each picture went.
  void Run();

  int32_t Count() const { return FCount; }
  int32_t Failures() const { return FFailures; }
  // The pictures of --every-item written so far, in order.
  const std::vector<std::pair<const TVaruneItem*, std::string>>& Written() const { return FWritten; }

 private:
  void Prepare(TJob& job, TPictureRequest& request, const std::string& name, std::optional<int64_t> number);
  void Draw(TJob& job);

  TVaruneDatabase& FDataBase;
  const std::string FDir;
  const int32_t FThreads;
  std::ostream& FOut;
  std::ostream& FErr;
  std::vector<TJob> FChunk;
  // The views of the chunk's pictures, by size and background: each
  // background picture is read once per chunk.
  std::map<std::string, TCharaView> FViews;
  // Every name given so far and the picture that took it: two pictures
  // under one name would leave whichever thread wrote last.
  std::unordered_map<std::string, std::string> FNames;
  std::vector<std::pair<const TVaruneItem*, std::string>> FWritten;
  int32_t FCount = 0;
  int32_t FFailures = 0;
};

void TBatch::Prepare(TJob& job, TPictureRequest& request, const std::string& name, std::optional<int64_t> number) {
  if (!name.empty()) CheckName(name);
  const size_t dot = name.rfind('.');
  if (dot == std::string::npos) {
    // The batch's format, made transparent as the line asks.
    request.FormatName = ExportExtension(Format) + 1;
    const std::string stem = name.empty() ? Sprintf("%04lld", static_cast<long long>(number.value_or(0))) : name;
    job.FileName = stem + ExportExtension(Format);
  } else {
    TExportFormat format;
    if (!ExportFormatOf(name.substr(dot), false, format))
      throw UsageError("the file name " + name +
                       " must end in .bmp, .jpg, .png, .gif, .apng or .webp, or have none");
    request.FormatName = name.substr(dot + 1);
    job.FileName = name;
  }
  Check(request);
  const std::string viewKey = Sprintf("%d %08X ", request.SmallView, request.BackgroundColor) + request.BackgroundPicture;
  auto view = FViews.find(viewKey);
  if (view == FViews.end()) view = FViews.emplace(viewKey, MakeView(request)).first;
  job.View = &view->second;
  if (const auto [taken, added] = FNames.try_emplace(job.FileName, job.Label); !added)
    throw UsageError(job.FileName + " is already the name of " + taken->second);
}

void TBatch::Draw(TJob& job) {
  try {
    TChara chara(FDataBase);
    const TPictureRequest& request = *job.Request;
    Dress(chara, request, [](const std::string& what) { throw Error(what); });
    ExportToFile(*job.View, chara, request.Format, FDir + "/" + job.FileName, request.Options);
  } catch (const std::exception& error) {
    job.Failure = FailureOf(error);
  } catch (...) {
    job.Failure = "unknown failure";
  }
}

void TBatch::Run() {
  const size_t toDraw = static_cast<size_t>(std::count_if(FChunk.begin(), FChunk.end(), [](const TJob& job) {
    return job.Failure.empty();
  }));
  std::atomic<size_t> next = 0;
  auto work = [&] {
    for (size_t i; (i = next.fetch_add(1, std::memory_order_relaxed)) < FChunk.size();)
      if (FChunk[i].Failure.empty()) Draw(FChunk[i]);
  };
  {
    std::vector<std::jthread> helpers;
    for (size_t i = 1; i < std::min(static_cast<size_t>(FThreads), toDraw); ++i) helpers.emplace_back(work);
    work();
  }
  for (const TJob& job : FChunk) {
    ++FCount;
    if (!job.Note.empty()) FErr << "varune-cli: " << job.Label << ": " << job.Note << "\n";
    if (!job.Failure.empty()) {
      ++FFailures;
      FErr << "varune-cli: " << job.Label << ": " << job.Failure << "\n";
      continue;
    }
    FOut << FDir << "/" << job.FileName << "\n";
    if (job.Item) FWritten.emplace_back(job.Item, job.FileName);
  }
  FChunk.clear();
  FViews.clear();
}

// One line of a list: [NAME TAB] then an outfit code or render's options.
void AddLine(TBatch& batch, int64_t number, std::string_view line) {
  const std::string label = "line " + std::to_string(number);
  try {
    if (line.find('\0') != std::string_view::npos) throw UsageError("the line holds a NUL byte");
    std::string name;
    std::string_view outfit = line;
    if (const size_t tab = line.find('\t'); tab != std::string_view::npos) {
      name = std::string(Trim(line.substr(0, tab)));
      if (name.empty()) throw UsageError("the file name before the tab is empty");
      outfit = line.substr(tab + 1);
    }
    outfit = Trim(outfit);
    if (outfit.empty()) throw UsageError("no outfit code or options after the name");
    // A code never starts with "-": Base64 has no such letter.
    const std::vector<std::string> words =
        outfit[0] == '-' ? SplitWords(outfit) : std::vector<std::string>{"--code", std::string(outfit)};
    batch.Add(label, words, name, number);
  } catch (const std::exception& error) {
    batch.Refuse(label, error.what());
  }
}

void ReadList(TBatch& batch, std::istream& in, std::ostream& err) {
  std::string line;
  bool tooLong = false;
  for (int64_t number = 1; ReadLine(in, line, tooLong); ++number) {
    if (tooLong) {
      batch.Run();
      err << "varune-cli: line " << number << ": longer than " << kMaxLineBytes / 1024
          << " KiB; the rest of the list is not read\n";
      throw Error("the list is not a text of lines");
    }
    if (number == 1 && line.starts_with("\xEF\xBB\xBF")) line.erase(0, 3);
    const std::string_view text = Trim(line);
    if (text.empty() || text[0] == '#') continue;
    AddLine(batch, number, line);
  }
  if (in.bad()) throw Error("the list could not be read");
}

void EveryItem(TBatch& batch, TVaruneDatabase& database, int32_t slot, const std::vector<TGenderType>& genders) {
  // An item both lists hold is drawn once, on the first gender.
  std::unordered_set<int32_t> queued;
  for (const TGenderType gender : genders) {
    for (const TVaruneItem* item : database.GetSpec(gender, slot)) {
      if (!queued.insert(item->FIndex).second) continue;
      // Worn by the default character, or by the first job that may wear it.
      int32_t job = 1;
      if (!item->IsUsableJob(JobBitFlag(job))) {
        const int32_t owner = database.MotionList().GetJobByItem(*item);
        if (owner >= 1 && owner <= kJobCount) job = owner;
      }
      const std::string id = std::to_string(item->FIndex);
      batch.Add("item " + id,
                {"--gender", gender == gtMale ? "male" : "female", "--job", std::to_string(job), "--equip", id}, id,
                std::nullopt, item);
    }
  }
  batch.Run();
}

void WriteIndex(const TBatch& batch, const std::string& dir, std::ostream& out) {
  std::ostringstream index;
  WriteRow(index, {"id", "name", "file"});
  for (const auto& [item, file] : batch.Written()) WriteRow(index, {std::to_string(item->FIndex), item->FName, file});
  const std::string text = index.str();
  const std::string path = dir + "/index.tsv";
  WriteFileAtomically(path, text.data(), text.size());
  out << path << "\n";
}

void Batch(const TArgs& args, std::ostream& out, std::ostream& err) {
  const bool everyItem = args.Has("--every-item");
  args.ExpectPositional(everyItem ? 1 : 2);
  if (everyItem != args.Has("--slot")) throw UsageError("--every-item and --slot N go together");
  if (!everyItem && args.Has("--gender")) throw UsageError("--gender goes with --every-item");
  if (!args.Has("-o")) throw UsageError("give the output folder: -o DIR");
  const std::string dir = args.Value("-o");
  if (dir.empty()) throw UsageError("give the output folder: -o DIR");
  int32_t threads = std::max(1, static_cast<int32_t>(std::thread::hardware_concurrency()));
  if (args.Has("--jobs")) threads = ParseInt(args.Value("--jobs"), "--jobs", 1, kMaxThreads);

  std::vector<std::string> defaults;
  for (const std::string& option : kDefaultOptions)
    if (args.Has(option)) defaults.insert(defaults.end(), {option, args.Value(option)});
  for (const std::string& flag : kDefaultFlags)
    if (args.Has(flag)) defaults.push_back(flag);
  // Checked here once, so that a bad value is a usage error, not a failure of every line.
  {
    TPictureRequest check;
    ReadRequest(TArgs(defaults, kDefaultOptions, kDefaultFlags), check);
    MakeView(check);
  }
  const TExportFormat format = args.Has("--format") ? ParseFormat(args.Value("--format")) : xfPng;
  int32_t slot = 0;
  std::vector<TGenderType> genders = {gtMale, gtFemale};
  if (everyItem) {
    slot = ParseInt(args.Value("--slot"), "--slot", 1, kSlotCount);
    if (args.Has("--gender")) genders = {ParseGender(args.Value("--gender"))};
  }

  std::ifstream file;
  std::istream* list = &std::cin;
  if (!everyItem && args.Positional()[1] != "-") {
    file.open(args.Positional()[1], std::ios::binary);
    if (!file) throw Error("cannot read the list " + args.Positional()[1]);
    list = &file;
  }

  TVaruneDatabase database;
  database.LoadPath(args.Positional()[0]);
  std::filesystem::create_directories(dir);
  TBatch batch(database, dir, threads, out, err);
  batch.Defaults = defaults;
  batch.Format = format;
  if (everyItem) {
    EveryItem(batch, database, slot, genders);
    WriteIndex(batch, dir, out);
  } else {
    ReadList(batch, *list, err);
    batch.Run();
  }
  if (batch.Failures() > 0)
    throw Error(Sprintf("%d of %d pictures failed", batch.Failures(), batch.Count()));
}

}  // namespace

void AddBatchCommands(std::vector<TCommand>& commands) {
  std::vector<std::string> values = {"-o", "--jobs", "--format", "--slot", "--gender"};
  values.insert(values.end(), kDefaultOptions.begin(), kDefaultOptions.end());
  std::vector<std::string> flags = {"--every-item"};
  flags.insert(flags.end(), kDefaultFlags.begin(), kDefaultFlags.end());
  commands.push_back(
      {{"batch"},
       "CLIENT_DIR (LIST | --every-item --slot N [--gender male|female]) -o DIR [--jobs N] "
       "[--format bmp|jpg|png|gif|apng|webp] [--transparent] [--size large|small] [--background #RRGGBB|FILE.bmp] "
       "[--hide hair,face,body,tops,bottoms] [--anim NAME|INDEX] [--scale 1-8] [--crop [--padding 0-64]] [--flip]",
       "loads the client once and writes many pictures into DIR on N threads (default: every core): one per line "
       "of LIST ('-' reads standard input), a line being [NAME<TAB>] then an outfit code or render's options, "
       "unnamed lines numbered (0007.png); or with --every-item one per item of slot list N, named by ID, with "
       "index.tsv; --format is the format of names without extension; the other options apply to every picture; "
       "bad lines are told and skipped (exit 1); " +
           std::string(kPictureHelp),
       Batch, values, flags});
}

}  // namespace varune::cli
