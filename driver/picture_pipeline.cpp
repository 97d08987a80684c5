#include "driver/picture_pipeline.h"

#include <algorithm>
#include <deque>
#include <memory>
#include <new>
#include <string_view>
#include <system_error>

#include "platform/com.h"

namespace dravonix {

namespace {

/// How many bytes of the picture are gathered for one write.
constexpr std::size_t kGatherStep = 1024 * 1024;

/// Why a picture could not be drawn, in SaveKeyboardSvg's words.
std::string DrawFailure(HRESULT status) {
    if (status == E_OUTOFMEMORY) return "out of memory";
    if (status == E_UNEXPECTED) {
        return "internal error: a panel's picture does not frame it as the whole picture does";
    }
    return "no document could be created";
}

}  // namespace

PicturePipeline::PicturePipeline(const std::string& image_folder, const CutImagePaths& cut_images,
                                 CodePage page, FileSystem& files)
    : image_folder_(image_folder),
      cut_images_(cut_images),
      page_(page),
      files_(files),
      picture_(image_folder, files, page) {
    try {
        thread_ = std::thread([this] { Work(); });
    } catch (const std::system_error&) {
        // No second thread: Finish draws the picture as a whole.
    }
}

PicturePipeline::~PicturePipeline() {
    if (!thread_.joinable()) return;
    {
        const std::lock_guard<std::mutex> hold(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

void PicturePipeline::HoldPanels() {
    // A panel being drawn was taken out of them: nothing to wait for.
    const std::lock_guard<std::mutex> hold(mutex_);
    held_ = true;
}

void PicturePipeline::PanelsReady(KeyDefinition& definition, std::size_t complete) {
    Plan(definition, complete);
}

void PicturePipeline::Plan(KeyDefinition& definition, std::size_t complete) {
    if (!thread_.joinable()) return;
    // The panels not handed on yet are the reading thread's: the second
    // thread reads none of them.
    const std::size_t first = plans_.size();
    for (std::size_t index = first; index < complete; ++index) {
        // The check notes a cut image path with the line that completes the
        // panel, before the reader tells of it.
        const auto cut = cut_images_.find(index);
        plans_.push_back(picture_.Plan(definition.subkeydef[index], index,
                                       cut == cut_images_.end() ? nullptr : &cut->second));
    }
    {
        const std::lock_guard<std::mutex> hold(mutex_);
        panels_ = definition.subkeydef.data();
        for (std::size_t index = first; index < complete; ++index) {
            scales_.push_back(plans_[index].scale);
        }
        views_.resize(complete);
        held_ = false;
    }
    changed_.notify_all();
}

bool PicturePipeline::DrawNext(std::unique_lock<std::mutex>& lock) {
    if (held_ || taken_ >= scales_.size() || Failed(failed_)) return false;
    const std::size_t index = taken_++;
    // Taken out of the reader's panels, which may then move at any time.
    SubKeyDefinition panel = std::move(panels_[index]);
    panels_[index] = SubKeyDefinition{};
    const double scale = scales_[index];
    lock.unlock();
    std::string texts[2];
    const HRESULT status =
        picture_.DrawViews(panel, scale, !panel.keyswithshift.key.empty(), texts);
    // Its memory serves the panels to come.
    panel = SubKeyDefinition{};
    lock.lock();
    if (Failed(status)) {
        failed_ = status;
    } else {
        Views& views = views_[index];
        views.drawn = true;
        views.texts[0].swap(texts[0]);
        views.texts[1].swap(texts[1]);
    }
    changed_.notify_all();
    return true;
}

void PicturePipeline::Work() {
    (void)CoInitialize(nullptr);  // cannot fail; each thread needs its own
    std::unique_lock<std::mutex> lock(mutex_);
    try {
        for (;;) {
            const auto work = [this] {
                return stopping_ || read_ || Failed(failed_) || (!held_ && taken_ < scales_.size());
            };
            changed_.wait(lock, work);
            if (stopping_ || Failed(failed_)) break;
            const bool drew = DrawNext(lock);
            if (!drew && read_) break;
        }
    } catch (const std::bad_alloc&) {
        if (!lock.owns_lock()) lock.lock();
        out_of_memory_ = std::current_exception();
    }
    lock.unlock();
    changed_.notify_all();
    CoUninitialize();
}

bool PicturePipeline::Write(std::size_t panels, OutputFile& output, std::string* reason) {
    // The pieces go to the file a step at a time, gathered into one call:
    // a panel's views and frames are several pieces, and a call for each
    // cost more than the bytes.
    std::vector<std::string_view> pieces;
    std::deque<Views> held;  // the texts the pieces point into
    std::size_t gathered = 0;
    // The sink only gathers, so it never fails; flush says whether the file
    // took the pieces.
    const auto sink = [&pieces, &gathered](std::string_view piece) {
        pieces.push_back(piece);
        gathered += piece.size();
        return true;
    };
    const auto flush = [&]() {
        const bool written = output.WriteGathered(pieces, reason);
        pieces.clear();
        held.clear();
        gathered = 0;
        return written;
    };
    (void)picture_.WriteHead(sink);
    // Panels are written in order as they are drawn; while the next one is
    // not, this thread draws one too.
    std::unique_lock<std::mutex> lock(mutex_);
    for (std::size_t next = 0; next < panels;) {
        if (out_of_memory_) std::rethrow_exception(out_of_memory_);
        if (Failed(failed_)) break;
        if (views_[next].drawn) {
            held.push_back(std::move(views_[next]));
            views_[next] = Views{};
            lock.unlock();
            (void)picture_.WritePanel(next, held.back().texts, sink);
            if (gathered >= kGatherStep && !flush()) return false;
            ++next;
            lock.lock();
        } else if (!DrawNext(lock)) {
            changed_.wait(lock);
        }
    }
    if (Failed(failed_)) {
        *reason = DrawFailure(failed_);
        return false;
    }
    lock.unlock();
    (void)picture_.WriteEnd(sink);
    return flush();
}

bool PicturePipeline::Finish(KeyDefinition& keyboard, const std::string& path, std::string* error) {
    if (!thread_.joinable()) {
        return SaveKeyboardSvg(keyboard, image_folder_, path, error, files_, cut_images_, page_);
    }
    Plan(keyboard, keyboard.subkeydef.size());
    {
        const std::lock_guard<std::mutex> hold(mutex_);
        read_ = true;
    }
    changed_.notify_all();
    std::string reason;
    const HRESULT placed = picture_.Place(keyboard.name, std::move(plans_));
    if (Failed(placed)) {
        reason = DrawFailure(placed);
    } else if (path.empty() || path.find('\0') != std::string::npos) {
        // The DOM's save refuses these names before it starts a file.
        reason = "not a file name";
    } else if (std::unique_ptr<OutputFile> output = files_.StartReplacing(path, &reason)) {
        if (Write(keyboard.subkeydef.size(), *output, &reason) && output->Commit(&reason)) {
            thread_.join();
            return true;
        }
    }
    if (error != nullptr) *error = FileFailureMessage("save", path, reason);
    return false;
}

}  // namespace dravonix
