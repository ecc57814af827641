#pragma once
// A program folder of its own for each test: the shared state starts from the
// program's defaults and points into a fresh temporary folder.
#include "app/UComon.h"
#include "app/ULanguage.h"
#include "app/USoftOptions.h"
#include "platform/core/Files.h"
#include "platform/sys/HttpClient.h"
#include "platform/sys/LinkOpener.h"

#include <QDir>
#include <QDirIterator>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

class ProgramFolder : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(Tmp.isValid());
        Model_Code = 9;
        Name_Project.clear();
        Dir_Project.clear();
        Language = QStringLiteral("English");
        Enable_Internet = 0;
        Enable_Update = 0;
        Set_Program_Folders(Tmp.path());
        Force_Program_Folders();
        Load_Default_Texts();
        Set_Files();
        Reset_Update_Server();
        auto links = std::make_unique<Sys::FakeLinkOpener>();
        Links = links.get();
        Sys::SetLinks(std::move(links));
    }
    void TearDown() override
    {
        Sys::SetLinks(nullptr);
        Sys::SetHttpClient(nullptr);
        Reset_Update_Server();
        Model_Code = 9;
    }

    // Every path under the program folder, relative to it, sorted.
    QStringList Tree() const
    {
        QStringList all;
        QDirIterator it(Tmp.path(), QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                        QDirIterator::Subdirectories);
        while (it.hasNext())
            all << QDir(Tmp.path()).relativeFilePath(it.next());
        all.sort();
        return all;
    }

    QString Path(const QString& rel) const { return PathJoin(Tmp.path(), rel); }

    QTemporaryDir Tmp;
    Sys::FakeLinkOpener* Links = nullptr;
};
