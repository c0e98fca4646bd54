#include "uikit/UIDesktopWindow.h"

#include "foundation/RunLoop.h"
#include "uikit/UIKeyboard.h"

#include <SDL.h>
#include <SDL_syswm.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <mutex>

namespace {
std::optional<UIKey> keyOf(SDL_Keycode k) {
    switch (k) {
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
        return UIKey::returnKey;
    case SDLK_ESCAPE:
        return UIKey::escape;
    case SDLK_BACKSPACE:
        return UIKey::backspace;
    case SDLK_DELETE:
        return UIKey::deleteForward;
    case SDLK_LEFT:
        return UIKey::left;
    case SDLK_RIGHT:
        return UIKey::right;
    case SDLK_UP:
        return UIKey::up;
    case SDLK_DOWN:
        return UIKey::down;
    case SDLK_HOME:
        return UIKey::home;
    case SDLK_END:
        return UIKey::end;
    case SDLK_TAB:
        return UIKey::tab;
    default:
        return std::nullopt;
    }
}

// GDK_SCALE, the desktop's integer scale for X11, when it is 2 to 4.
int userScale() {
    const char* s = std::getenv("GDK_SCALE");
    const int n = s ? std::atoi(s) : 1;
    return n >= 2 && n <= 4 ? n : 1;
}
} // namespace

struct UIDesktopWindow::Impl {
    SDL_Window* sdl = nullptr;
    SDL_Renderer* renderer = nullptr;
    SDL_Texture* texture = nullptr;
    int textureW = 0, textureH = 0;
    int scaleUp = 1;
    bool textInput = false;
    bool mouseDown = false;
    Callbacks callbacks;
    std::shared_ptr<UIWindow> window;
    std::shared_ptr<RunLoopWaiter> waiter;

    CGPoint point(int x, int y) const { return {double(x) / scaleUp, double(y) / scaleUp}; }
    void followSize();
    void handle(const SDL_Event& e);
    bool present();
};

namespace {
Uint32 wakeEvent() {
    static const Uint32 type = SDL_RegisterEvents(1);
    return type;
}

class SDLWaiter final : public RunLoopWaiter {
public:
    explicit SDLWaiter(UIDesktopWindow::Impl* owner) : owner_(owner) {}
    void wait(std::optional<Clock::Duration> timeout) override {
        owner_->present();
        int ms = -1;
        if (timeout) {
            const auto us = std::chrono::duration_cast<std::chrono::microseconds>(*timeout).count();
            ms = static_cast<int>(std::clamp<long long>((us + 999) / 1000, 0, INT_MAX));
        }
        SDL_Event e;
        if (ms < 0 ? SDL_WaitEvent(&e) : SDL_WaitEventTimeout(&e, ms)) {
            owner_->handle(e);
            while (SDL_PollEvent(&e)) owner_->handle(e);
        }
    }
    void wake() override {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!alive_) return;
        SDL_Event e{};
        e.type = wakeEvent();
        SDL_PushEvent(&e);
    }
    void retire() {
        std::lock_guard<std::mutex> lock(mutex_);
        alive_ = false;
    }

private:
    UIDesktopWindow::Impl* owner_;
    std::mutex mutex_;
    bool alive_ = true;
};
} // namespace

void UIDesktopWindow::Impl::followSize() {
    int w = 0, h = 0, pw = 0, ph = 0;
    SDL_GetWindowSize(sdl, &w, &h);
    SDL_GetRendererOutputSize(renderer, &pw, &ph);
    const double device = w > 0 ? double(pw) / w : 1;
    window->resize({double(w) / scaleUp, double(h) / scaleUp}, device * scaleUp);
}

void UIDesktopWindow::Impl::handle(const SDL_Event& e) {
    switch (e.type) {
    case SDL_QUIT:
        if (callbacks.quit) callbacks.quit();
        break;
    case SDL_WINDOWEVENT:
        switch (e.window.event) {
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            followSize();
            break;
        case SDL_WINDOWEVENT_EXPOSED:
            window->setNeedsRedraw();
            break;
        case SDL_WINDOWEVENT_FOCUS_GAINED:
            if (callbacks.focus) callbacks.focus(true);
            break;
        case SDL_WINDOWEVENT_FOCUS_LOST:
            mouseDown = false;
            window->cancelTouches();
            if (callbacks.focus) callbacks.focus(false);
            break;
        case SDL_WINDOWEVENT_MINIMIZED:
        case SDL_WINDOWEVENT_RESTORED:
            if (callbacks.minimized) callbacks.minimized(e.window.event == SDL_WINDOWEVENT_MINIMIZED);
            break;
        default:
            break;
        }
        break;
    case SDL_MOUSEBUTTONDOWN:
        if (e.button.button == SDL_BUTTON_LEFT) {
            mouseDown = true;
            window->mouseDown(point(e.button.x, e.button.y));
        }
        break;
    case SDL_MOUSEMOTION:
        if (mouseDown) window->mouseDragged(point(e.motion.x, e.motion.y));
        break;
    case SDL_MOUSEBUTTONUP:
        if (e.button.button == SDL_BUTTON_LEFT && mouseDown) {
            mouseDown = false;
            window->mouseUp(point(e.button.x, e.button.y));
        }
        break;
    case SDL_MOUSEWHEEL: {
        int x = 0, y = 0;
        SDL_GetMouseState(&x, &y);
        const double notches = e.wheel.preciseY != 0 ? e.wheel.preciseY : e.wheel.y;
        window->scrollWheel(point(x, y), notches, (SDL_GetModState() & KMOD_CTRL) != 0);
        break;
    }
    case SDL_KEYDOWN:
        if (auto key = keyOf(e.key.keysym.sym)) UIKeyboard::press({*key, (e.key.keysym.mod & KMOD_SHIFT) != 0});
        break;
    case SDL_TEXTINPUT:
        UIKeyboard::insertText(e.text.text);
        break;
    default:
        break; // the wake event only ends the wait
    }
}

bool UIDesktopWindow::Impl::present() {
    const bool wantText = UIKeyboard::wantsTextInput();
    if (wantText != textInput) {
        textInput = wantText;
        wantText ? SDL_StartTextInput() : SDL_StopTextInput();
    }
    const auto damage = window->displayDamage();
    if (damage[2] <= 0 || damage[3] <= 0) return false;
    const auto& surface = window->surface();
    if (!surface.isValid()) return false;
    bool fresh = false;
    if (!texture || textureW != surface.width() || textureH != surface.height()) {
        fresh = true;
        if (texture) SDL_DestroyTexture(texture);
        texture = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING, surface.width(),
                                    surface.height());
        if (!texture) return false;
        textureW = surface.width();
        textureH = surface.height();
        // Cairo's pixels are premultiplied.
        const SDL_BlendMode premultiplied = SDL_ComposeCustomBlendMode(
            SDL_BLENDFACTOR_ONE, SDL_BLENDFACTOR_ONE_MINUS_SRC_ALPHA, SDL_BLENDOPERATION_ADD, SDL_BLENDFACTOR_ONE,
            SDL_BLENDFACTOR_ONE_MINUS_SRC_ALPHA, SDL_BLENDOPERATION_ADD);
        if (SDL_SetTextureBlendMode(texture, premultiplied) != 0) SDL_SetTextureBlendMode(texture, SDL_BLENDMODE_NONE);
        window->setNeedsRedraw();
        window->displayDamage();
    }
    cairo_surface_t* cs = surface.cairoSurface();
    cairo_surface_flush(cs);
    const int stride = cairo_image_surface_get_stride(cs);
    const SDL_Rect r =
        fresh ? SDL_Rect{0, 0, textureW, textureH} : SDL_Rect{damage[0], damage[1], damage[2], damage[3]};
    const unsigned char* pixels = cairo_image_surface_get_data(cs) + r.y * stride + r.x * 4;
    SDL_UpdateTexture(texture, &r, pixels, stride);
    SDL_SetRenderDrawColor(renderer, 255, 255, 255, 255);
    SDL_RenderClear(renderer);
    SDL_RenderCopy(renderer, texture, nullptr, nullptr);
    SDL_RenderPresent(renderer);
    return true;
}

std::unique_ptr<UIDesktopWindow> UIDesktopWindow::open(const std::string& title, CGSize size, Callbacks callbacks,
                                                       std::string* error) {
    auto fail = [error](std::string why) -> std::unique_ptr<UIDesktopWindow> {
        if (error) *error = std::move(why);
        return nullptr;
    };
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY"))
        return fail("neither DISPLAY nor WAYLAND_DISPLAY is set");
    if (!(size.width > 0 && size.height > 0 && size.width < 1e5 && size.height < 1e5))
        return fail("the window size is not usable");
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1"); // the run loop owns SIGINT and SIGTERM
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
        return fail(std::string("SDL could not open the display: ") + SDL_GetError());
    auto impl = std::make_unique<Impl>();
    impl->scaleUp = userScale();
    impl->callbacks = std::move(callbacks);
    impl->sdl = SDL_CreateWindow(title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                 static_cast<int>(std::lround(size.width * impl->scaleUp)),
                                 static_cast<int>(std::lround(size.height * impl->scaleUp)),
                                 SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI);
    if (impl->sdl) impl->renderer = SDL_CreateRenderer(impl->sdl, -1, SDL_RENDERER_PRESENTVSYNC);
    if (impl->sdl && !impl->renderer) impl->renderer = SDL_CreateRenderer(impl->sdl, -1, SDL_RENDERER_SOFTWARE);
    if (!impl->renderer) {
        const std::string why = std::string("SDL could not open a window: ") + SDL_GetError();
        if (impl->sdl) SDL_DestroyWindow(impl->sdl);
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return fail(why);
    }
    impl->window = std::make_shared<UIWindow>(size);
    impl->followSize();
    SDL_StopTextInput(); // SDL starts with text input on; a focused text field turns it on
    wakeEvent();
    auto result = std::unique_ptr<UIDesktopWindow>(new UIDesktopWindow(std::move(impl)));
    result->impl_->waiter = std::make_shared<SDLWaiter>(result->impl_.get());
    RunLoop::main().setWaiter(result->impl_->waiter);
    return result;
}

UIDesktopWindow::UIDesktopWindow(std::unique_ptr<Impl> impl) : impl_(std::move(impl)), window_(impl_->window) {}

UIDesktopWindow::~UIDesktopWindow() {
    RunLoop::main().setWaiter(nullptr);
    static_cast<SDLWaiter*>(impl_->waiter.get())->retire();
    if (impl_->textInput) SDL_StopTextInput();
    if (impl_->texture) SDL_DestroyTexture(impl_->texture);
    SDL_DestroyRenderer(impl_->renderer);
    SDL_DestroyWindow(impl_->sdl);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

bool UIDesktopWindow::present() { return impl_->present(); }

unsigned long UIDesktopWindow::nativeWindowId() const {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (SDL_GetWindowWMInfo(impl_->sdl, &info) && info.subsystem == SDL_SYSWM_X11)
        return static_cast<unsigned long>(info.info.x11.window);
    return 0;
}
