#include "viewer/outfit_link.h"

#include <gtest/gtest.h>

#include "character/outfit.h"

namespace varune {
namespace {

// A code whose Base64 holds '+' or '/', so that its URL-safe form differs.
std::string Code() {
  TOutfitRecord record;
  record.Gender = gtFemale;
  record.BaseIDs = {130100101, 140100101, 150100101, 20500101, 30200101};
  for (int32_t id = 12040301;; ++id) {
    record.EquipIDs = {id, 10300101, 40000117, 9010101, 9010102, 9010103, 9010104, 9010105, 9010106, 9010107};
    const std::string code = EncodeOutfitCode(record);
    if (code.find_first_of("+/") != std::string::npos) return code;
  }
}

TEST(OutfitLinkTest, EveryFormPeoplePassOnGivesTheCode) {
  const std::string code = Code();
  const std::string standard = *StandardOutfitCode(code);
  const std::string safe = UrlSafeOutfitCode(code);
  ASSERT_NE(safe, standard);
  ASSERT_NE(code, standard);  // the encoder breaks its lines
  EXPECT_EQ(OutfitLink(code), "varune:outfit/" + safe);
  for (const std::string& text :
       {code, standard, safe, "  " + safe + "\n", OutfitLink(code), "VARUNE:outfit/" + safe,
        "https://wardrobe.example.org/#" + safe + "&anim=Move&job=3", "http://127.0.0.1:8080/#" + safe,
        "http://127.0.0.1:8080/?x=1#" + safe + "%3D"})
    EXPECT_EQ(OutfitCodeIn(text), standard) << text;
}

TEST(OutfitLinkTest, TextWithoutAReadableCodeGivesNothing) {
  std::string damaged = UrlSafeOutfitCode(Code());
  damaged[1] = 'B';  // another version
  for (const std::string& text :
       {std::string(), std::string("   "), std::string("hello world"), std::string("A*B"),
        "varune:outfit/" + damaged, "varune:other/" + UrlSafeOutfitCode(Code()),
        "https://wardrobe.example.org/" + UrlSafeOutfitCode(Code()), std::string("https://example.org/#"),
        "ftp://example.org/#" + UrlSafeOutfitCode(Code()), std::string("AQ")})
    EXPECT_FALSE(OutfitCodeIn(text)) << text;
}

}  // namespace
}  // namespace varune
