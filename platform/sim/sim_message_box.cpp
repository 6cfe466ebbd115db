#include "platform/message_box.h"
#include "platform/sim/cut_text.h"
#include "platform/sim/resource_script.h"
#include "platform/sim/sim_driver.h"
#include "platform/sim/sim_handheld.h"
#include "platform/sim/sim_windows.h"

namespace {

constexpr std::uint32_t MB_TYPE_MASK = 0xF;
constexpr std::uint32_t MB_TYPE_YES_NO = 0x4;

int defaultAnswer(std::uint32_t style) {
    return (style & MB_TYPE_MASK) == MB_TYPE_YES_NO ? MB_ANSWER_NO : MB_ANSWER_OK;
}

} // namespace

// The box has no owner: while it waits for its answer, its loop delivers the
// program's messages.
int showMessageBox(const char16_t* text, const char16_t* caption, std::uint32_t style) {
    simRunModalLoop();
    int answer = defaultAnswer(style);
    if (simDriver.answerMessageBox != nullptr) {
        answer = simDriver.answerMessageBox(text, caption, style);
    } else if (simHandheld.scriptedAnswersUsed < simHandheld.scriptedAnswerCount) {
        answer = simHandheld.scriptedAnswers[simHandheld.scriptedAnswersUsed++];
    }
    if (simHandheld.messageBoxCount < SIM_MESSAGE_BOX_LOG_CAPACITY) {
        SimMessageBox& shown = simHandheld.messageBoxes[simHandheld.messageBoxCount];
        copyCutText(text, shown.text, std::size(shown.text));
        copyCutText(caption, shown.caption, std::size(shown.caption));
        shown.style = style;
        shown.answer = answer;
    }
    ++simHandheld.messageBoxCount;
    return answer;
}

std::size_t loadStringResource(unsigned id, char16_t* buffer, std::size_t capacity) {
    return copyScriptString(id, buffer, capacity);
}
