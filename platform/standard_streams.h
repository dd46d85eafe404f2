#pragma once

namespace orvex {

// Gives each standard stream the process was started without (a job runner or a parent that closed them)
// the null device. Left closed, the first files the program opens would take their numbers, and what it
// prints or says of an error would be written into its night log or into a picture. Called first, before
// any file is opened.
void openMissingStandardStreams();

} // namespace orvex
