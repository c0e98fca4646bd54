#pragma once
// A view that shows a picture scaled to fill its bounds.
// Thread rules: main thread.
#include "uikit/UIImage.h"
#include "uikit/UIView.h"

class UIImageView : public UIView {
public:
    using UIView::UIView;
    const std::shared_ptr<UIImage>& image() const { return image_; }
    void setImage(std::shared_ptr<UIImage> image);
    void draw(CGRect rect) override;

private:
    std::shared_ptr<UIImage> image_;
};
