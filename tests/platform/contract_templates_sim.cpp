#include "platform/sim/resource_script.h"
#include "tests/platform/dialog_templates.h"

bool readDialogTemplate(unsigned id, DialogTemplate& read) {
    ScriptDialog script;
    if (!parseScriptDialog(id, script)) {
        return false;
    }
    read = DialogTemplate{script.width,   script.height,   script.style,    script.exStyle,
                          script.caption, script.fontName, script.fontSize, {}};
    for (const ScriptControl& control : script.controls) {
        read.controls.push_back(TemplateControl{control.text, control.id, control.className,
                                                control.style, control.x, control.y, control.width,
                                                control.height});
    }
    return true;
}
