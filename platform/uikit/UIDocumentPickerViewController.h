#pragma once
// A modal picker of files or folders, drawn with our own views over the dimmed
// window. It lists the entries of a start folder (the documents folder unless
// `directoryURL` is set): folders, and the regular files of the requested
// types, sorted by name, hidden names left out, with ".." for the parent. It
// scrolls with the wheel, opens a folder on a double click or Right (Enter or
// Open when folders are not what is picked), goes up with Left or Backspace,
// and selects with the mouse (a click checks or unchecks a file when several
// may be picked) or with Up and Down. Open (or Enter) returns the checked
// entries, else the highlighted one, to the delegate; Cancel (or Escape)
// reports cancel. Our platform has no sandbox: import mode returns the chosen
// files themselves, as open mode does.
//
// Types: "public.item", "public.data", "public.content" (any file),
// "public.folder" (folders are picked, files are hidden), "public.image",
// "public.png", "public.jpeg", "com.adobe.pdf", "public.audio",
// "public.plain-text", "public.xml"; a type without dots is a file extension.
//
// Thread rules: main thread.
#include "foundation/URL.h"
#include "uikit/UILabel.h"
#include "uikit/UIViewController.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

class UIDocumentPickerViewController;

class UIDocumentPickerDelegate {
public:
    virtual ~UIDocumentPickerDelegate() = default;
    // documentPicker(_:didPickDocumentsAt:), the one the picker calls.
    virtual void documentPicker(UIDocumentPickerViewController& picker, const std::vector<URL>& urls) {}
    // documentPicker(_:didPickDocumentAt:), older; the picker never calls it.
    virtual void documentPicker(UIDocumentPickerViewController& picker, const URL& url) {}
    virtual void documentPickerWasCancelled(UIDocumentPickerViewController& picker) {}
};

enum class UIDocumentPickerMode { import, open };

class UIDocumentPickerViewController : public UIViewController {
public:
    struct Entry {
        std::string name; // ".." for the parent
        bool isFolder = false;
    };

    static std::shared_ptr<UIDocumentPickerViewController> make(std::vector<std::string> documentTypes,
                                                                UIDocumentPickerMode mode);

    std::weak_ptr<UIDocumentPickerDelegate> delegate;
    bool allowsMultipleSelection = false;
    std::optional<URL> directoryURL; // set before presentation

    const std::string& folder() const { return folder_; }
    const std::vector<Entry>& entries() const { return entries_; }
    int highlighted() const { return highlighted_; }
    const std::vector<std::string>& checkedPaths() const { return checked_; }
    // The list's view, its row height and scroll offset (tests click rows).
    UIView& listView() const;
    static constexpr CGFloat rowHeight = 24;
    CGFloat scrollOffset() const;

    void openFolder(const std::string& path);
    void confirm(); // the Open button
    void cancel();  // the Cancel button

    void loadView() override;
    void viewDidLayoutSubviews() override;
    bool keyDown(const UIKeyPress& key) override;

private:
    friend class PickerList;
    UIDocumentPickerViewController(std::vector<std::string> types, UIDocumentPickerMode mode);
    bool pickable(const Entry& e) const;
    std::string pathOf(const Entry& e) const;
    void highlight(int row);
    void clickRow(int row, double timestamp);
    void enter(const Entry& e);
    void finish(std::vector<URL> urls, bool cancelled);

    std::vector<std::string> types_;
    std::string folder_;
    std::vector<Entry> entries_;
    int highlighted_ = -1;
    std::vector<std::string> checked_;
    std::shared_ptr<UIView> panel_;
    std::shared_ptr<UILabel> pathLabel_;
    std::shared_ptr<UIView> list_;
    int lastClickRow_ = -1;
    double lastClickTime_ = -1;
    bool done_ = false;
};
