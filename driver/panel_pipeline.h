// Converting on two threads: while the reading thread reads the legacy file,
// a second one makes the text of each panel the reader has completed.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <exception>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>

#include "kbd/kbd_reader.h"
#include "model/key_definition.h"
#include "platform/code_page.h"
#include "platform/file_system.h"
#include "xml/panel_text_writer.h"

namespace dravonix {

/// Listens to the reader and saves the keyboard to path as it is read: a
/// thread of its own makes the text of each panel the reader completes (a
/// PanelTextWriter) and then empties the panel, so that a keyboard is never
/// held whole; the reading thread, each time it completes a further panel,
/// writes the text made so far, and makes the text of a panel itself when
/// the second thread falls behind. Without a second thread
/// (the system gives none) the keyboard is saved at Finish. The file is the
/// same either way, and the same as SaveToFile's.
class PanelPipeline final : public PanelListener {
public:
    PanelPipeline(std::string path, CodePage page, FileSystem& files);
    /// Stops the second thread; a file not finished keeps what it had.
    ~PanelPipeline() override;
    PanelPipeline(const PanelPipeline&) = delete;
    PanelPipeline& operator=(const PanelPipeline&) = delete;

    void HoldPanels() override;
    void PanelsReady(KeyDefinition& definition, std::size_t complete) override;

    /// After the read of whole.keydef: writes what is left and puts the file
    /// in place, as SaveToFile(whole, path) does for the keyboard read; false
    /// with the reason in *error as SaveToFile gives it. Memory that ran out
    /// on the second thread runs out here (std::bad_alloc). whole's panels
    /// are left empty.
    [[nodiscard]] bool Finish(KeyDefDocument& whole, std::string* error);

private:
    /// The second thread's work.
    void MakeTexts();
    /// Under mutex_: the text of the panel at index is made; it joins the
    /// text to be written once the panels before it have theirs.
    void Deliver(std::size_t index, std::string&& text);
    /// On the reading thread, with mutex_ held by lock: takes the text made
    /// so far and writes it (without the lock).
    void WriteOut(std::unique_lock<std::mutex>& lock);
    /// Writes text to the file, started at the first call; false once the
    /// file cannot be written (file_error_ says why).
    bool WriteText(std::string_view text);

    std::string path_;
    CodePage page_;
    FileSystem& files_;
    std::thread thread_;

    // Used by the reading thread only.
    std::optional<PanelTextWriter> reader_texts_;  // made with the first panel it makes
    std::unique_ptr<OutputFile> output_;           // started with the first text
    std::string writing_;                          // the text being written
    bool file_failed_ = false;                     // the file cannot be written
    std::string file_error_;                       // why, in SaveToFile's words

    std::mutex mutex_;
    std::condition_variable changed_;
    // Used by the second thread only, until it has ended.
    std::optional<PanelTextWriter> texts_;  // made with the first panel
    // Shared, under mutex_:
    const std::string* name_ = nullptr;         // the keyboard's name
    SubKeyDefinition* panels_ = nullptr;        // the reader's panels, where they are now
    std::size_t ready_ = 0;                     // how many of them are complete
    std::size_t taken_ = 0;                     // how many of them either thread took on
    std::size_t made_ = 0;                      // how many of them have their text made, in order
    std::string made_text_;                     // their text, not yet written
    std::map<std::size_t, std::string> ahead_;  // texts made before those of earlier panels
    bool held_ = false;                         // the panels may move: take none
    bool busy_ = false;                         // the second thread is on a panel
    bool read_ = false;                         // the reader is done: finish the texts, then end
    bool stopping_ = false;                     // end at once
    bool text_failed_ = false;                  // a text could not be made
    std::string text_error_;                    // why
    std::exception_ptr out_of_memory_;
};

}  // namespace dravonix
