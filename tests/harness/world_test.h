// world_test.h - the GoogleTest fixture of the tests that run on the demo
// world: the world made in a scratch folder of its own, the stand-ins
// pointed at it, and at the end the check that the test left nothing
// behind. Header only: the harness library itself does without GoogleTest.
#pragma once

#include "config_override.h"
#include "demo_world.h"
#include "files.h"
#include "machine_state.h"
#include "shared_section.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

class DemoWorldTest : public ::testing::Test {
protected:
    // A fixture that overrides these calls them first (SetUp) or last.
    void SetUp() override { m_before = TakeMachineState(); }
    void TearDown() override { ExpectNothingLeft(); }

    // Makes the world with make_demo_world's options ("--no-passwords")
    // and serves it to the stand-ins and to the programs the test starts.
    void MakeWorld(const std::string &options = std::string())
    {
        ASSERT_EQ(0u, MakeDemoWorld(m_world.folder, options)) << "make_demo_world " << options;
        m_config = std::make_unique<CConfigOverride>(m_world.Config());
    }

    // The machine as the test found it (drives, labels, the stand-ins'
    // mounts and links) and, in the block the test watches, no lock, mount,
    // drive or dialog.
    void ExpectNothingLeft(const std::string &after = "the test")
    {
        EXPECT_EQ(m_before, TakeMachineState()) << "something was left behind by " << after;
        if (m_shared.Valid()) {
            EXPECT_EQ("", m_shared.Leftovers()) << "after " << after;
        }
    }

    CScratchFolder m_folder;
    DemoWorld m_world{m_folder.Path()};
    std::unique_ptr<CConfigOverride> m_config;
    MachineState m_before;
    CSharedView m_shared; // the shared block the test watches; none unless it sets one
};
