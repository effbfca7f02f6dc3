#pragma once

#include "platform/PrompterGuard.h"
#include "platform/ScriptedPrompter.h"

#include <QStringList>

// Plays the operator's part while a window's operation runs without a window: records
// the messages it shows and answers no box, then puts the earlier prompter back.
struct RecordedMessages
{
    QStringList texts() const { return recorder.texts(); }

    ScriptedPrompter recorder;
    PrompterGuard guard{recorder};
};
