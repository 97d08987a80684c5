// Micro-benchmarks of the hot paths of a conversion: the key-line parser and
// the whole legacy reader, and saving a large keyboard model as XML text.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <string_view>

#include "check/loss_counter.h"
#include "kbd/kbd_reader.h"
#include "kbd/key_line.h"
#include "model/key.h"
#include "model/key_definition.h"
#include "platform/com.h"
#include "testing/kbd_generator.h"
#include "testing/test_util.h"
#include "xml/keyboard_file.h"

namespace dravonix {

namespace {

// Key lines as the generator and real keyboards write them: rectangles,
// L-shaped keys, virtual keys, characters and target texts.
constexpr std::string_view kKeyLines[] = {
    "[0,0,60,0,60,40,0,40], 1, 1, 8, 0, ' '",
    "[64,48,113,48,113,91,88,91,88,69,64,69], 2, 1, -1, 0, 'q'",
    "[240,40,300,40,300,80,240,80], 1, 16, \"https://example.org/help\"",
    "[300,40,360,40,360,80,300,80], 3, 7, -1, 0, 'm'",
};

void BM_ParseKeyLine(benchmark::State& state) {
    std::size_t bytes = 0;
    for (auto _ : state) {
        for (std::string_view line : kKeyLines) {
            Key key;
            ParseKeyLine(line, key);
            benchmark::DoNotOptimize(key);
            bytes += line.size();
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(bytes));
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(std::size(kKeyLines)));
}
BENCHMARK(BM_ParseKeyLine);

// Reads a generated file of state.range(0) bytes into a new model, without an
// observer (the reader as the picture and the batch's loads use it) and with
// the counting observer the converter always reads with.
void ReadGenerated(benchmark::State& state, bool observed) {
    const auto size = static_cast<std::size_t>(state.range(0));
    ScratchDir dir;
    WriteFile(dir / "in.kbd", GenerateKbd(size, 4));
    for (auto _ : state) {
        KeyDefinition definition;
        LossCounter losses;
        if (!ReadKbdFile(dir / "in.kbd", definition, observed ? &losses : nullptr)) {
            state.SkipWithError("cannot read the generated keyboard");
            break;
        }
        benchmark::DoNotOptimize(definition.subkeydef.data());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(size));
}
void BM_ReadKbdFile(benchmark::State& state) { ReadGenerated(state, false); }
BENCHMARK(BM_ReadKbdFile)->Arg(4 << 20)->Unit(benchmark::kMillisecond);
void BM_ReadKbdFileCounted(benchmark::State& state) { ReadGenerated(state, true); }
BENCHMARK(BM_ReadKbdFileCounted)->Arg(4 << 20)->Unit(benchmark::kMillisecond);

// A keyboard model read from a generated file of the given size.
std::unique_ptr<KeyDefDocument> ReadGeneratedModel(std::size_t size) {
    // The text stays alive until the model is read, as it always did: freeing
    // it first changes where malloc puts the model, and the save measured
    // below then ran about half as fast.
    const std::string text = GenerateKbd(size, 1);
    ScratchDir dir;
    WriteFile(dir / "in.kbd", text);
    auto model = std::make_unique<KeyDefDocument>();
    return ReadKbdFile(dir / "in.kbd", model->keydef) ? std::move(model) : nullptr;
}

// Saves a model of state.range(0) bytes of legacy input: a new document, the
// Save of every object into it, and the serialization to text.
void BM_SaveLargeModel(benchmark::State& state) {
    (void)CoInitialize(nullptr);  // cannot fail
    auto model = ReadGeneratedModel(static_cast<std::size_t>(state.range(0)));
    if (!model) {
        state.SkipWithError("cannot read the generated keyboard");
        CoUninitialize();
        return;
    }
    std::size_t bytes = 0;
    for (auto _ : state) {
        std::string text;
        if (!SaveToText(*model, &text)) {
            state.SkipWithError("cannot save the keyboard");
            break;
        }
        bytes += text.size();
        benchmark::DoNotOptimize(text.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(bytes));
    model.reset();  // the model's handles go before the runtime stops
    CoUninitialize();
}
BENCHMARK(BM_SaveLargeModel)->Arg(1 << 20)->Arg(4 << 20)->Unit(benchmark::kMillisecond);

}  // namespace

}  // namespace dravonix

BENCHMARK_MAIN();
