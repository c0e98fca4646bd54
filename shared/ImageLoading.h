#pragma once
// Loading an image view's picture from a web address (file:, http:, https:).
// Both fetch off the main thread and set the picture on the main thread; the
// view is held weakly, so a view that goes away meanwhile is not kept alive.
// Pictures are PNG; other data is no image.
// Thread rules: call on the main thread.
#include "foundation/URL.h"
#include "uikit/UIImageView.h"

#include <memory>
#include <string>

// Logs (through debugprint) an address that is no URL, content that cannot be
// read, and data that gives no picture or a view that is gone; on success the
// picture is set and nothing is logged.
void loadFrom(const std::shared_ptr<UIImageView>& view, const std::string& URLAddress);

// Silent on an address that is no URL. Prints a failed fetch's reason and,
// for an HTTP 200 answer, "Fetched image successfully" at once; whatever the
// status, the data's picture (none for data that is no image) replaces the
// view's picture.
void getImageFromURLString(const std::shared_ptr<UIImageView>& view, const std::string& imageURLString);
