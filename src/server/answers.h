#pragma once
// What each API route answers. Preparing checks the request (cheap, on the
// I/O thread, raising TApiError); the work it returns draws, encodes or
// walks lists and runs on the render pool.

#include <functional>
#include <memory>

#include <nlohmann/json.hpp>

#include "server/answer_cache.h"
#include "server/catalogue.h"
#include "server/routes.h"

namespace varune::server {

using TWork = std::function<TAnswer()>;
using TCatalogueRef = std::shared_ptr<const TCatalogue>;

TWork PrepareDataAnswer(const TCatalogueRef& Catalogue, const TRoute& Route);     // info, items, selectors, outfit
TWork PreparePictureAnswer(const TCatalogueRef& Catalogue, const TRoute& Route);  // render, sheet, icon, card

// The item of that ID; 404 when the client has none.
const TVaruneItem& FindItem(const TCatalogue& Catalogue, int32_t Id);

// JSON text that survives names that are not UTF-8.
TAnswer JsonAnswer(const nlohmann::json& Json);
// The answer of a failure inside the work, as the API words it.
TAnswer FailureAnswer(const std::exception& Failure);

// The media type of a {format} ("png", "jpg", "json"...).
std::string FormatMediaType(std::string_view Format);

}  // namespace varune::server
