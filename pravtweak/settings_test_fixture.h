// A fresh Pipravox40X rank table, an empty run configuration and a zero
// message count for each test of the settings passes.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <utility>

#include "catalogue.h"
#include "messages.h"
#include "qini.h"
#include "run_configuration.h"
#include "run_state.h"

class SettingsPassTest : public testing::Test {
  protected:
    void SetUp() override {
        reset_catalogue();
        ASSERT_TRUE(find_model("Pipravox40X"));
        runConfiguration = RunConfiguration{};
        error_count = 0;
        line_number = 284;
    }

    void TearDown() override {
        runConfiguration = RunConfiguration{};
        reset_catalogue();
    }

    // A section map as the INI model builds it: the first of a repeated key
    // wins and number is the leading decimal reading of the text.
    static qIni_space::INIMAP section(
        std::initializer_list<std::pair<const char*, const char*>> lines) {
        qIni_space::INIMAP map;
        for (const auto& line : lines)
            map.emplace(line.first,
                        qIni_space::mapval{line.second, qIni_space::leadingInt(line.second)});
        return map;
    }

    static qIni_space::INIMAP::value_type entry(const std::string& text) {
        return {"key", qIni_space::mapval{text, qIni_space::leadingInt(text)}};
    }

    static RankRecord& rank(int32_t id) { return current_model->ranks[id]; }

    // Runs the action and returns what it wrote on standard error.
    template <typename Action>
    static std::string stderr_of(Action action) {
        testing::internal::CaptureStderr();
        action();
        return testing::internal::GetCapturedStderr();
    }
};
