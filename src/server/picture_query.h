#pragma once
// A route's query read into a picture request by the request's own rules,
// as the command line's options would fill it.

#include "server/routes.h"
#include "viewer/picture_request.h"

namespace varune::server {

// The request of a render, sheet or outfit route, checked. Raises a 400
// TApiError naming the parameter as the query names it.
TPictureRequest ReadPictureRequest(const TRoute& Route);

}  // namespace varune::server
