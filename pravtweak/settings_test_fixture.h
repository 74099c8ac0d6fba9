// A fresh Pipravox40X rank table, an empty run configuration and a zero
// message count for each test of the settings passes.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "catalogue.h"
#include "ini/qini.h"
#include "ini/run_configuration.h"
#include "messages.h"
#include "run_state.h"
#include "section_pass.h"

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

    // The rank of the current model with exactly that name.
    static RankRecord& rank(const char* name) {
        for (int32_t i = 0; i < current_model->rank_count; ++i)
            if (std::strcmp(current_model->ranks[i].name, name) == 0)
                return current_model->ranks[i];
        ADD_FAILURE() << "no rank " << name;
        return current_model->ranks[0];
    }

    // Every rank of the current model, in table order.
    static std::vector<RankRecord*> ranks() {
        std::vector<RankRecord*> all;
        for (int32_t i = 0; i < current_model->rank_count; ++i)
            all.push_back(&current_model->ranks[i]);
        return all;
    }

    // Runs the action and returns what it wrote on standard error.
    template <typename Action>
    static std::string stderr_of(Action action) {
        testing::internal::CaptureStderr();
        action();
        return testing::internal::GetCapturedStderr();
    }
};
