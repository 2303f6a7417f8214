// Writing the --audio-log lines (the public half is in EventAudio.h).
#pragma once

// Does nothing while no log is open; value null is written as "-".
void AudioLogAction(const char* action, const char* name, const char* value);
void AudioLogParameter(const char* event, const char* parameter, float value);
void AudioLogVolume(const char* category, float volume);
