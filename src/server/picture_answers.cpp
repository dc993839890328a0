// The routes answered with pictures: renders, sprite sheets, icons, cards.
// Each gives the bytes the command line writes for the same request.

#include <mutex>

#include "archive/error.h"
#include "character/chara.h"
#include "imaging/png.h"
#include "server/answers.h"
#include "server/api_error.h"
#include "server/picture_query.h"
#include "viewer/item_card.h"
#include "viewer/item_icon.h"
#include "viewer/sprite_sheet.h"

namespace varune::server {

namespace {

TAnswer Bytes(std::string type, std::string body) {
  TAnswer answer;
  answer.ContentType = std::move(type);
  answer.Body = std::move(body);
  return answer;
}

template <class TBytes>
std::string Text(const TBytes& bytes) {
  return std::string(bytes.begin(), bytes.end());
}

// Header values carry no line breaks nor control characters.
std::string HeaderText(const std::vector<std::string>& refused) {
  std::string text;
  for (const std::string& what : refused) {
    if (!text.empty()) text += "; ";
    for (const char c : what) text += static_cast<unsigned char>(c) < 0x20 || c == 0x7F ? ' ' : c;
  }
  return text;
}

TWork Picture(const TCatalogueRef& catalogue, const TRoute& route) {
  const TPictureRequest request = ReadPictureRequest(route);
  try {
    DecodeOutfitCode(*request.Code);
  } catch (const Error& error) {
    throw BadRequest(std::string("code is damaged: ") + error.what());
  }
  const bool sheet = route.Entry->Id == riSheet;
  const std::string format = route.Format;
  const std::string name = UrlSafeOutfitCode(route.Code);
  return [=] {
    const TCharaView view = MakeView(request);
    TChara chara(catalogue->MutableDatabase());
    std::vector<std::string> refused;
    Dress(chara, request, [&](const std::string& what) { refused.push_back(what); });
    TAnswer answer;
    if (!sheet) {
      answer = Bytes(FormatMediaType(format), Text(ExportToBytes(view, chara, request.Format, request.Options)));
    } else {
      const TSpriteSheet picture =
          MakeSpriteSheet(view, chara, request.Transparent, request.Options, request.AllAnimations);
      answer = format == "json"
                   ? Bytes(FormatMediaType(format), SpriteSheetData(picture, name + ".png", name))
                   : Bytes(FormatMediaType(format), Text(SpriteSheetPng(picture)));
    }
    if (!refused.empty()) answer.Headers.emplace_back("X-Varune-Refused", HeaderText(refused));
    return answer;
  };
}

TAnswer Icon(const TCatalogue& catalogue, const TVaruneItem& item) {
  // The icon manager composes every icon in one buffer.
  static std::mutex iconLock;
  std::lock_guard lock(iconLock);
  TVaruneDatabase& database = catalogue.MutableDatabase();
  TPngImage& buffer = database.IconManager().Buffer();
  // A cell the sheet lacks draws nothing: blank, never the previous icon.
  buffer = TPngImage::Blank(32, 32);
  TBitmap32 scratch(32, 32);
  TCanvas canvas(scratch);
  DrawItemIcon(canvas, 0, 0, database, item, false);
  return Bytes("image/png", Text(EncodePngImage(buffer)));
}

TAnswer Card(const TCatalogue& catalogue, const TVaruneItem& item) {
  TItemCard card;
  {
    std::shared_lock names(TCatalogue::NameTablesLock());
    card = MeasureItemHint(item, catalogue.Database());
  }
  return Bytes("image/png", Text(ItemCardPng(card)));
}

}  // namespace

std::string FormatMediaType(std::string_view Format) {
  if (Format == "jpg") return "image/jpeg";
  if (Format == "json") return "application/json";
  return "image/" + std::string(Format);
}

TWork PreparePictureAnswer(const TCatalogueRef& Catalogue, const TRoute& Route) {
  switch (Route.Entry->Id) {
    case riRender:
    case riSheet: return Picture(Catalogue, Route);
    case riItemIcon: {
      const TVaruneItem& item = FindItem(*Catalogue, Route.Id);
      if (!ItemIconSheet(Catalogue->Database(), item)) throw NotFound("item " + std::to_string(Route.Id) + " has no icon");
      return [Catalogue, &item] { return Icon(*Catalogue, item); };
    }
    case riItemCard: {
      const TVaruneItem& item = FindItem(*Catalogue, Route.Id);
      return [Catalogue, &item] { return Card(*Catalogue, item); };
    }
    default: return nullptr;
  }
}

TAnswer FailureAnswer(const std::exception& Failure) {
  int status = 500;
  std::string code = "internal", message = Failure.what();
  if (const auto* api = dynamic_cast<const TApiError*>(&Failure)) {
    status = static_cast<int>(api->Status);
    code = api->Code;
  } else if (const auto* request = dynamic_cast<const TRequestError*>(&Failure)) {
    status = 400;
    code = "bad_request";
    message = (request->Option() == "background" ? "bg" : request->Option()) +
              std::string(request->what()).substr(request->Option().size());
  } else if (dynamic_cast<const TPictureTooLarge*>(&Failure)) {
    status = 400;
    code = "picture_too_large";
  }
  TAnswer answer = JsonAnswer({{"error", code}, {"message", message}});
  answer.Status = status;
  return answer;
}

}  // namespace varune::server
