#include "uikit/UIDocumentPickerViewController.h"

#include "foundation/FileManager.h"
#include "uikit/UIBezierPath.h"
#include "uikit/UIButton.h"
#include "uikit/UIGestureRecognizer.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <set>

namespace {
constexpr CGFloat panelWidth = 480, panelHeight = 380, margin = 12;
constexpr double doubleClickSeconds = 0.4;

std::string lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::string extensionOf(const std::string& name) {
    const auto dot = name.rfind('.');
    return dot == std::string::npos || dot == 0 ? "" : lower(name.substr(dot + 1));
}

// The file extensions of a type; "*" for any file; empty for folders only.
std::set<std::string> extensionsOf(const std::string& type) {
    static const std::map<std::string, std::set<std::string>> known{
        {"public.item", {"*"}},
        {"public.data", {"*"}},
        {"public.content", {"*"}},
        {"public.folder", {}},
        {"public.image", {"png", "jpg", "jpeg", "gif", "bmp", "tif", "tiff", "webp"}},
        {"public.png", {"png"}},
        {"public.jpeg", {"jpg", "jpeg"}},
        {"com.adobe.pdf", {"pdf"}},
        {"public.audio", {"m4a", "wav", "aif", "aiff", "mp3", "caf", "flac", "ogg"}},
        {"public.plain-text", {"txt"}},
        {"public.xml", {"xml"}},
    };
    if (const auto it = known.find(type); it != known.end()) return it->second;
    if (type.find('.') == std::string::npos && !type.empty()) return {lower(type)};
    return {};
}

std::string parentOf(const std::string& folder) {
    const auto slash = folder.find_last_of('/');
    return slash == 0 || slash == std::string::npos ? "/" : folder.substr(0, slash);
}

std::string joined(const std::string& folder, const std::string& name) {
    return folder == "/" ? "/" + name : folder + "/" + name;
}

// Feeds plain wheel notches to the list.
class WheelScroller : public UIGestureRecognizer {
public:
    explicit WheelScroller(std::function<void(double)> scroll) : scroll_(std::move(scroll)) {}
    void scrollWheel(CGPoint, double notches, bool control) override {
        if (!control && std::isfinite(notches)) scroll_(notches);
    }

private:
    std::function<void(double)> scroll_;
};
} // namespace

// The rows: drawn from the scroll offset, clicked and double-clicked.
class PickerList : public UIView {
public:
    PickerList(UIDocumentPickerViewController* owner, CGRect frame) : UIView(frame), owner_(owner) {}
    CGFloat scroll = 0;

    void scrollBy(CGFloat dy) {
        const CGFloat content =
            UIDocumentPickerViewController::rowHeight * static_cast<CGFloat>(owner_->entries_.size());
        scroll = std::clamp(scroll + dy, CGFloat(0), std::max(CGFloat(0), content - bounds().height()));
        setNeedsDisplay();
    }
    void reveal(int row) {
        const CGFloat top = UIDocumentPickerViewController::rowHeight * row;
        if (top < scroll)
            scrollBy(top - scroll);
        else if (top + UIDocumentPickerViewController::rowHeight > scroll + bounds().height())
            scrollBy(top + UIDocumentPickerViewController::rowHeight - scroll - bounds().height());
    }
    void touchesBegan(const UITouchSet& touches, const UIEvent*) override {
        const CGFloat y = touches.front()->location(this).y + scroll;
        const int row = static_cast<int>(std::floor(y / UIDocumentPickerViewController::rowHeight));
        if (row >= 0 && row < static_cast<int>(owner_->entries_.size()))
            owner_->clickRow(row, touches.front()->timestamp());
    }
    void draw(CGRect rect) override {
        UIColor::white().setFill();
        UIBezierPath::rect(rect).fill();
        const auto& entries = owner_->entries_;
        const CGFloat h = UIDocumentPickerViewController::rowHeight;
        const int first = std::max(0, static_cast<int>(scroll / h));
        const NSStringAttributes attributes{UIFont::systemFont(13), UIColor::black(), {}};
        for (int i = first; i < static_cast<int>(entries.size()) && i * h - scroll < rect.height(); ++i) {
            const CGRect row{0, i * h - scroll, rect.width(), h};
            const auto& e = entries[static_cast<std::size_t>(i)];
            if (i == owner_->highlighted_) {
                UIColor(0.78, 0.87, 1, 1).setFill();
                UIBezierPath::rect(row).fill();
            }
            const std::string path = owner_->pathOf(e);
            const bool checked =
                std::find(owner_->checked_.begin(), owner_->checked_.end(), path) != owner_->checked_.end();
            if (checked) NSString::draw("\u2713", {6, row.minY() + 4, 16, h - 4}, attributes);
            NSString::draw(e.isFolder && e.name != ".." ? e.name + "/" : e.name,
                           {24, row.minY() + 4, rect.width() - 28, h - 4}, attributes);
        }
    }

private:
    UIDocumentPickerViewController* owner_;
};

UIDocumentPickerViewController::UIDocumentPickerViewController(std::vector<std::string> types, UIDocumentPickerMode)
    : types_(std::move(types)) {
    modalPresentationStyle = UIModalPresentationStyle::overFullScreen;
}

std::shared_ptr<UIDocumentPickerViewController> UIDocumentPickerViewController::make(std::vector<std::string> types,
                                                                                     UIDocumentPickerMode mode) {
    return std::shared_ptr<UIDocumentPickerViewController>(new UIDocumentPickerViewController(std::move(types), mode));
}

UIView& UIDocumentPickerViewController::listView() const { return *list_; }

CGFloat UIDocumentPickerViewController::scrollOffset() const { return static_cast<PickerList&>(*list_).scroll; }

bool UIDocumentPickerViewController::pickable(const Entry& e) const {
    if (e.name == "..") return false;
    for (const auto& type : types_) {
        const auto extensions = extensionsOf(type);
        if (e.isFolder ? type == "public.folder" : extensions.count("*") || extensions.count(extensionOf(e.name)))
            return true;
    }
    return false;
}

std::string UIDocumentPickerViewController::pathOf(const Entry& e) const {
    return e.name == ".." ? parentOf(folder_) : joined(folder_, e.name);
}

void UIDocumentPickerViewController::loadView() {
    UIViewController::loadView();
    view()->setBackgroundColor(UIColor::black().withAlphaComponent(0.35));
    panel_ = std::make_shared<UIView>(CGRect{0, 0, panelWidth, panelHeight});
    panel_->setBackgroundColor(UIColor::white(0.96));
    auto title = std::make_shared<UILabel>(CGRect{margin, 8, panelWidth - 2 * margin, 22});
    title->setText("Open");
    title->setTextAlignment(NSTextAlignment::center);
    panel_->addSubview(title);
    pathLabel_ = std::make_shared<UILabel>(CGRect{margin, 32, panelWidth - 2 * margin, 18});
    pathLabel_->setFont(UIFont::systemFont(12));
    panel_->addSubview(pathLabel_);
    auto list = std::make_shared<PickerList>(this, CGRect{margin, 54, panelWidth - 2 * margin, panelHeight - 108});
    PickerList* raw = list.get();
    list->addGestureRecognizer(
        std::make_shared<WheelScroller>([raw](double notches) { raw->scrollBy(-notches * 3 * rowHeight); }));
    list_ = list;
    panel_->addSubview(list_);
    std::weak_ptr<UIViewController> weak = shared_from_this();
    auto button = [&](const char* title, CGFloat x, void (UIDocumentPickerViewController::*act)()) {
        auto b = std::make_shared<UIButton>(CGRect{x, panelHeight - 46, 100, 36});
        b->setTitle(title);
        b->accessibilityIdentifier = title;
        b->addTarget(
            [weak, act](UIControl&) {
                if (auto self = std::static_pointer_cast<UIDocumentPickerViewController>(weak.lock())) ((*self).*act)();
            },
            UIControlEvents::touchUpInside);
        panel_->addSubview(b);
    };
    button("Cancel", panelWidth - 2 * 100 - 2 * margin, &UIDocumentPickerViewController::cancel);
    button("Open", panelWidth - 100 - margin, &UIDocumentPickerViewController::confirm);
    view()->addSubview(panel_);

    std::string start;
    if (directoryURL && directoryURL->isFileURL())
        start = directoryURL->path();
    else if (const auto docs = FileManager::defaultManager().documentDirectoryURLs(); !docs.empty())
        start = docs.front().path();
    openFolder(start.empty() ? "/" : start);
}

void UIDocumentPickerViewController::viewDidLayoutSubviews() {
    if (panel_) panel_->setCenter({view()->bounds().midX(), view()->bounds().midY()});
}

void UIDocumentPickerViewController::openFolder(const std::string& path) {
    std::string folder = path;
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    const auto& files = FileManager::defaultManager();
    NSError error;
    const auto names = files.contentsOfDirectory(folder, &error);
    if (!names) {
        if (pathLabel_) pathLabel_->setText(folder + ": " + error.localizedDescription);
        return;
    }
    folder_ = folder;
    entries_.clear();
    if (folder_ != "/") entries_.push_back({"..", true});
    for (const auto& name : *names) {
        if (name.empty() || name[0] == '.') continue;
        const auto kind = files.kindOfItem(joined(folder_, name));
        const Entry e{name, kind == FileManager::ItemKind::directory};
        if (e.isFolder || (kind == FileManager::ItemKind::regularFile && pickable(e))) entries_.push_back(e);
    }
    // The first entry past "..", if any.
    highlighted_ = entries_.empty() ? -1 : entries_.size() > 1 && entries_[0].name == ".." ? 1 : 0;
    lastClickRow_ = -1;
    if (pathLabel_) pathLabel_->setText(folder_);
    if (list_) {
        static_cast<PickerList&>(*list_).scroll = 0;
        list_->setNeedsDisplay();
    }
}

void UIDocumentPickerViewController::highlight(int row) {
    if (entries_.empty()) return;
    highlighted_ = std::clamp(row, 0, static_cast<int>(entries_.size()) - 1);
    static_cast<PickerList&>(*list_).reveal(highlighted_);
    list_->setNeedsDisplay();
}

void UIDocumentPickerViewController::enter(const Entry& e) { openFolder(pathOf(e)); }

void UIDocumentPickerViewController::clickRow(int row, double timestamp) {
    const bool doubleClick = row == lastClickRow_ && timestamp - lastClickTime_ < doubleClickSeconds;
    lastClickRow_ = row;
    lastClickTime_ = timestamp;
    highlight(row);
    const Entry e = entries_[static_cast<std::size_t>(row)];
    if (doubleClick && e.isFolder) {
        enter(e);
        return;
    }
    if (!pickable(e)) return;
    const std::string path = pathOf(e);
    const auto it = std::find(checked_.begin(), checked_.end(), path);
    if (!allowsMultipleSelection)
        checked_ = {path};
    else if (it == checked_.end())
        checked_.push_back(path);
    else if (!doubleClick)
        checked_.erase(it);
    list_->setNeedsDisplay();
    if (doubleClick && !allowsMultipleSelection) confirm();
}

bool UIDocumentPickerViewController::keyDown(const UIKeyPress& key) {
    const Entry* e = highlighted_ >= 0 ? &entries_[static_cast<std::size_t>(highlighted_)] : nullptr;
    switch (key.key) {
    case UIKey::up:
        highlight(highlighted_ - 1);
        return true;
    case UIKey::down:
        highlight(highlighted_ + 1);
        return true;
    case UIKey::right:
        if (e && e->isFolder) enter(*e);
        return true;
    case UIKey::left:
    case UIKey::backspace:
        if (folder_ != "/") openFolder(parentOf(folder_));
        return true;
    case UIKey::returnKey:
        confirm();
        return true;
    case UIKey::escape:
        cancel();
        return true;
    default:
        return false;
    }
}

void UIDocumentPickerViewController::confirm() {
    std::vector<URL> urls;
    for (const auto& path : checked_) urls.push_back(URL::fileURL(path));
    if (urls.empty() && highlighted_ >= 0) {
        const Entry e = entries_[static_cast<std::size_t>(highlighted_)];
        if (pickable(e))
            urls.push_back(URL::fileURL(pathOf(e)));
        else if (e.isFolder)
            return enter(e);
    }
    if (!urls.empty()) finish(std::move(urls), false);
}

void UIDocumentPickerViewController::cancel() { finish({}, true); }

void UIDocumentPickerViewController::finish(std::vector<URL> urls, bool cancelled) {
    if (done_) return;
    done_ = true;
    const auto self = std::static_pointer_cast<UIDocumentPickerViewController>(shared_from_this());
    dismiss(true);
    if (auto d = delegate.lock()) cancelled ? d->documentPickerWasCancelled(*self) : d->documentPicker(*self, urls);
}
