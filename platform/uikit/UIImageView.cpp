#include "uikit/UIImageView.h"

void UIImageView::setImage(std::shared_ptr<UIImage> image) {
    image_ = std::move(image);
    setNeedsDisplay();
}

void UIImageView::draw(CGRect) {
    if (image_) image_->draw(bounds());
}
