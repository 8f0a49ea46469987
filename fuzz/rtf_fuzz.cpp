// News files: any bytes, RTF or not, give a document within its bounds whose runs are
// never empty and hold no paragraph break.
#include "shell/rtf.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // Most inputs should be read as RTF, so the header is given unless the first byte asks not to.
    QByteArray input(reinterpret_cast<const char*>(data), qsizetype(size));
    if (size > 0 && (data[0] & 1))
        input.replace(0, 1, "{\\rtf1 ");
    const RtfDocument doc = ReadRtf(input);
    qsizetype characters = doc.paragraphs.size();
    for (const RtfParagraph& p : doc.paragraphs) {
        qsizetype length = 0;
        for (const RtfRun& r : p.runs) {
            if (r.text.isEmpty() || r.text.contains(u'\n') || r.text.contains(u'\r'))
                abort();
            length += r.text.size();
        }
        if (p.runs.size() > Rtf::kMaxRunsPerParagraph || length > Rtf::kMaxParagraph)
            abort();
        characters += length;
    }
    // Each character costs at least the smallest size, of a budget counted in 12-point characters.
    if (characters > Rtf::kMaxOutput * Rtf::kOutputPoints / Rtf::kMinPoints + 1)
        abort();
    return 0;
}
