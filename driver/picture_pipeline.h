// Drawing on two threads: while the reading thread reads the legacy file, a
// second one draws each panel the reader has completed.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <exception>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "kbd/kbd_reader.h"
#include "model/key_definition.h"
#include "platform/code_page.h"
#include "platform/file_system.h"
#include "render/keyboard_svg.h"

namespace dravonix {

/// Listens to the reader and draws the keyboard's picture as it is read (a
/// PanelByPanelPicture): the reading thread plans each panel it completes,
/// and a thread of its own draws what the panel's views show and then empties
/// the panel, so that a keyboard is never held whole. Once the keyboard is
/// read, the reading thread draws the rest of the picture and writes it,
/// drawing panels alongside the second thread until all are written.
/// Without a second thread (the system gives none) the picture is drawn at
/// Finish. The file is the same either way, and the same as SaveKeyboardSvg's.
class PicturePipeline final : public PanelListener {
public:
    /// Images are looked up in image_folder; cut_images is the check's
    /// record of the image paths the reader cuts, filled as it reads.
    PicturePipeline(const std::string& image_folder, const CutImagePaths& cut_images, CodePage page,
                    FileSystem& files);
    /// Stops the second thread; a file not finished keeps what it had.
    ~PicturePipeline() override;
    PicturePipeline(const PicturePipeline&) = delete;
    PicturePipeline& operator=(const PicturePipeline&) = delete;

    void HoldPanels() override;
    void PanelsReady(KeyDefinition& definition, std::size_t complete) override;

    /// After the read of keyboard: draws what is left and saves the picture
    /// under path, replacing the file atomically; false with the reason in
    /// *error as SaveKeyboardSvg gives it. Memory that ran out on the second
    /// thread runs out here (std::bad_alloc). keyboard's panels are left
    /// empty.
    [[nodiscard]] bool Finish(KeyDefinition& keyboard, const std::string& path, std::string* error);

private:
    /// What a panel's views show, drawn.
    struct Views {
        bool drawn = false;
        std::string texts[2];
    };

    /// The second thread's work.
    void Work();
    /// On the reading thread: plans the panels of definition up to complete
    /// and hands them to be drawn.
    void Plan(KeyDefinition& definition, std::size_t complete);
    /// With mutex_ held by lock: draws the next panel not taken, and empties
    /// it; false when there is none to take.
    bool DrawNext(std::unique_lock<std::mutex>& lock);
    /// On the reading thread, after the read and Place: writes the picture
    /// of the keyboard's panels to output, drawing along. False with the
    /// reason in *reason.
    bool Write(std::size_t panels, OutputFile& output, std::string* reason);

    std::string image_folder_;
    const CutImagePaths& cut_images_;  // the reading thread's
    CodePage page_;
    FileSystem& files_;
    PanelByPanelPicture picture_;
    std::vector<PanelPlan> plans_;  // the reading thread's
    std::thread thread_;

    std::mutex mutex_;
    std::condition_variable changed_;
    // Shared, under mutex_:
    SubKeyDefinition* panels_ = nullptr;  // the reader's panels, where they are now
    std::vector<double> scales_;          // of the panels planned
    std::vector<Views> views_;            // of the panels planned
    std::size_t taken_ = 0;               // how many of them either thread took on
    bool held_ = false;                   // the panels may move: take none
    bool read_ = false;                   // the reader is done: end when nothing is left
    bool stopping_ = false;               // end at once
    HRESULT failed_ = S_OK;               // why a panel could not be drawn
    std::exception_ptr out_of_memory_;
};

}  // namespace dravonix
