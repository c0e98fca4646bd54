#pragma once
// A push button showing a title or a picture; it acts on touch up inside.
// Thread rules: main thread.
#include "uikit/NSStringDrawing.h"
#include "uikit/UIControl.h"
#include "uikit/UIImage.h"

#include <string>

class UIButton : public UIControl {
public:
    using UIControl::UIControl;
    const std::string& title() const { return title_; }
    void setTitle(std::string title);
    void setTitleColor(UIColor colour);
    void setFont(const UIFont& font);
    const std::shared_ptr<UIImage>& image() const { return image_; }
    void setImage(std::shared_ptr<UIImage> image);

    void draw(CGRect rect) override;

private:
    std::string title_;
    UIColor titleColour_ = UIColor(0, 0.478, 1, 1);
    UIFont font_ = UIFont::systemFont(15);
    std::shared_ptr<UIImage> image_;
};
