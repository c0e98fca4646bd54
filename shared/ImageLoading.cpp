#include "shared/ImageLoading.h"

#include "foundation/Console.h"
#include "foundation/DispatchQueue.h"
#include "foundation/URLSession.h"
#include "shared/Logging.h"

namespace {
// Fetches in a worker, then finishes on the main thread.
void requestImageFromURL(std::weak_ptr<UIImageView> view, const URL& url) {
    URLSession::shared().dataTask({url, 60}, [view = std::move(view)](URLFetchResult result) {
        if (!result.response) {
            Console::write(result.errorDescription + "\n");
            return;
        }
        if (result.response->isHTTP && result.response->statusCode == 200)
            Console::write("Fetched image successfully\n");
        auto data = std::make_shared<std::vector<unsigned char>>(std::move(result.data));
        DispatchQueue::main().async([view, data] {
            if (auto v = view.lock()) v->setImage(UIImage::fromData(*data));
        });
    });
}
} // namespace

void loadFrom(const std::shared_ptr<UIImageView>& view, const std::string& URLAddress) {
    const auto url = URL::parse(URLAddress);
    if (!url || URLAddress.empty()) {
        debugprint("UIImageView::loadFrom() : Could not encode url string : " + URLAddress);
        return;
    }
    std::weak_ptr<UIImageView> weak = view;
    URLSession::shared().dataTask({*url, 60}, [weak](URLFetchResult result) {
        auto data = std::make_shared<URLFetchResult>(std::move(result));
        DispatchQueue::main().async([weak, data] {
            if (!data->response) {
                debugprint("UIImageView::loadFrom() : Could not encode image data.");
                return;
            }
            auto image = UIImage::fromData(data->data);
            auto v = weak.lock();
            if (image && v)
                v->setImage(std::move(image));
            else
                debugprint("UIImageView::loadFrom() : Could not assign image.");
        });
    });
}

void getImageFromURLString(const std::shared_ptr<UIImageView>& view, const std::string& imageURLString) {
    const auto url = URL::parse(imageURLString);
    if (!url || imageURLString.empty()) return;
    requestImageFromURL(view, *url);
}
