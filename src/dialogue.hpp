// The prediction loop and its console dialogue.
#pragma once

#include "console.hpp"
#include "predictor.hpp"

// How a run of predictions ended.
enum class Ending {
    answered_no,   // an answer began with N or n
    input_ended,   // input ended at a read; the prediction was abandoned
    input_failed,  // input could not be read; the prediction was abandoned
    output_failed, // the output could not be written
};

// Plays predictions over con, drawing from draw, until one of the endings; all output is
// flushed before it returns.
Ending play(Console &con, const Draw &draw);
