#include "driver/panel_pipeline.h"

#include <new>
#include <system_error>
#include <utility>

#include "platform/com.h"
#include "xml/keyboard_file.h"

namespace dravonix {

PanelPipeline::PanelPipeline(std::string path, CodePage page, FileSystem& files)
    : path_(std::move(path)), page_(page), files_(files) {
    try {
        thread_ = std::thread([this] { MakeTexts(); });
    } catch (const std::system_error&) {
        // No second thread: Finish saves the keyboard as a whole.
    }
}

PanelPipeline::~PanelPipeline() {
    if (!thread_.joinable()) return;
    {
        const std::lock_guard<std::mutex> hold(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

void PanelPipeline::HoldPanels() {
    // A panel being made was taken out of them: nothing to wait for.
    const std::lock_guard<std::mutex> hold(mutex_);
    held_ = true;
}

void PanelPipeline::PanelsReady(KeyDefinition& definition, std::size_t complete) {
    std::unique_lock<std::mutex> lock(mutex_);
    name_ = &definition.name;
    panels_ = definition.subkeydef.data();
    ready_ = complete;
    held_ = false;
    changed_.notify_all();
    WriteOut(lock);
    // While the second thread is on one panel and three more wait, the
    // reading thread makes the text of the next: it has the lighter share of
    // the work, but not by much (with two waiting it took on so many that
    // the second thread was left idle a sixth of the time).
    if (busy_ && ready_ - taken_ >= 3 && !text_failed_) {
        const std::size_t index = taken_++;
        SubKeyDefinition& panel = definition.subkeydef[index];
        lock.unlock();
        if (!reader_texts_) reader_texts_.emplace(definition.name, page_);
        std::string text;
        std::string error;
        const bool made = reader_texts_->Append(panel, index == 0, text, &error);
        panel = SubKeyDefinition{};
        lock.lock();
        if (made) {
            Deliver(index, std::move(text));
        } else {
            text_failed_ = true;
            text_error_ = std::move(error);
        }
        changed_.notify_all();
    }
}

void PanelPipeline::Deliver(std::size_t index, std::string&& text) {
    if (index != made_) {
        ahead_.emplace(index, std::move(text));
        return;
    }
    // The reading thread takes the text when it next comes by.
    if (made_text_.empty()) {
        made_text_.swap(text);
    } else {
        made_text_.append(text);
    }
    ++made_;
    for (auto next = ahead_.find(made_); next != ahead_.end(); next = ahead_.find(made_)) {
        made_text_.append(next->second);
        ahead_.erase(next);
        ++made_;
    }
}

void PanelPipeline::MakeTexts() {
    (void)CoInitialize(nullptr);  // cannot fail; each thread needs its own
    std::string text;             // the text of the panel being made
    std::unique_lock<std::mutex> lock(mutex_);
    try {
        for (;;) {
            changed_.wait(lock,
                          [this] { return stopping_ || read_ || (!held_ && taken_ < ready_); });
            if (stopping_ || text_failed_) break;
            if (held_ || taken_ == ready_) {
                if (read_) break;
                continue;
            }
            const std::size_t index = taken_++;
            // Taken out of the reader's panels, which may then move at any
            // time.
            SubKeyDefinition panel = std::move(panels_[index]);
            panels_[index] = SubKeyDefinition{};
            const std::string& name = *name_;
            busy_ = true;
            lock.unlock();
            if (!texts_) texts_.emplace(name, page_);
            std::string error;
            const bool made = texts_->Append(panel, index == 0, text, &error);
            // Its memory, and that of its document, serves the panels to
            // come (the document's is this thread's to free).
            panel = SubKeyDefinition{};
            lock.lock();
            busy_ = false;
            changed_.notify_all();
            if (!made) {
                text_failed_ = true;
                text_error_ = std::move(error);
                break;
            }
            Deliver(index, std::move(text));
            text.clear();
        }
    } catch (const std::bad_alloc&) {
        if (!lock.owns_lock()) lock.lock();
        busy_ = false;
        out_of_memory_ = std::current_exception();
    }
    lock.unlock();
    changed_.notify_all();
    CoUninitialize();
}

void PanelPipeline::WriteOut(std::unique_lock<std::mutex>& lock) {
    if (made_text_.empty()) return;
    writing_.swap(made_text_);  // made_text_ gets the written buffer back, empty
    lock.unlock();
    if (!file_failed_) (void)WriteText(writing_);
    writing_.clear();
    lock.lock();
}

bool PanelPipeline::WriteText(std::string_view text) {
    std::string reason;
    if (output_ == nullptr) {
        // The DOM's save refuses these names before it starts a file.
        if (path_.empty() || path_.find('\0') != std::string::npos) {
            reason = "not a file name";
        } else {
            output_ = files_.StartReplacing(path_, &reason);
        }
    }
    if (output_ != nullptr && output_->Write(text, &reason)) return true;
    file_failed_ = true;
    file_error_ = FileFailureMessage("save", path_, reason);
    output_.reset();
    return false;
}

bool PanelPipeline::Finish(KeyDefDocument& whole, std::string* error) {
    if (thread_.joinable()) {
        {
            const std::lock_guard<std::mutex> hold(mutex_);
            read_ = true;
        }
        changed_.notify_all();
        thread_.join();
    }
    if (out_of_memory_) std::rethrow_exception(out_of_memory_);
    // Without a second thread, or without a panel, the keyboard is saved as
    // it was read.
    if (taken_ == 0) return SaveToFile(whole, path_, error, files_);
    if (text_failed_) {
        if (error != nullptr) *error = FileFailureMessage("save", path_, text_error_);
        return false;
    }
    std::unique_lock<std::mutex> lock(mutex_);
    WriteOut(lock);
    lock.unlock();
    if (!file_failed_ && made_ != whole.keydef.subkeydef.size()) {
        file_failed_ = true;
        file_error_ = FileFailureMessage("save", path_, "internal error: a panel was not written");
    }
    std::string reason;
    if (!file_failed_ && WriteText(PanelTextWriter::kEnd)) {
        if (output_->Commit(&reason)) return true;
        file_error_ = FileFailureMessage("save", path_, reason);
    }
    output_.reset();
    if (error != nullptr) *error = file_error_;
    return false;
}

}  // namespace dravonix
