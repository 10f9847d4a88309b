#pragma once
#include "settings/Setting.h"

#include <gtest/gtest.h>

#include <string>

// The settings file for the default settings with one recent URL, two rebar
// bands and print flags 0x12, laid out for reading; Compact() gives the bytes
// the program writes.
inline const std::string kExampleUrl = "https://example.org/map?x=1&y=2";

inline const std::string kExampleSettings = R"(<?xml version="1.0" encoding="utf-8"?>
<QuorvaneSetting xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance" xmlns:xsd="http://www.w3.org/2001/XMLSchema">
  <Version>1.0.0.0</Version>
  <Width>1024</Width>
  <Height>768</Height>
  <ScrollX>0</ScrollX>
  <ScrollY>0</ScrollY>
  <Trim><left>0</left><top>0</top><right>0</right><bottom>0</bottom></Trim>
  <Url>https://example.org/map?x=1&amp;y=2</Url>
  <Urls><Url>https://example.org/map?x=1&amp;y=2</Url></Urls>
  <PageSetting>
    <FitType>FIT</FitType>
    <Papers><cx>1</cx><cy>1</cy></Papers>
    <Dpi>144</Dpi>
    <Margin><left>1000</left><top>1000</top><right>1000</right><bottom>1000</bottom></Margin>
  </PageSetting>
  <PrintSetting>
    <Flags>USE_PAGENUMS|COLLATE</Flags>
    <PageFrom>1</PageFrom>
    <PageTo>1</PageTo>
    <Copies>1</Copies>
  </PrintSetting>
  <MainFrameSetting>
    <Maximized>false</Maximized>
    <Rect><left>0</left><top>0</top><right>0</right><bottom>0</bottom></Rect>
    <ShowDlgBar>true</ShowDlgBar>
    <ShowToolBar>true</ShowToolBar>
    <ShowStatusBar>true</ShowStatusBar>
    <ReBarBandSettings>
      <ReBarBandSetting><Id>0000E800</Id><Cx>000001F4</Cx><BreakLine>false</BreakLine></ReBarBandSetting>
      <ReBarBandSetting><Id>0000E801</Id><Cx>00000190</Cx><BreakLine>true</BreakLine></ReBarBandSetting>
    </ReBarBandSettings>
  </MainFrameSetting>
</QuorvaneSetting>
)";

// Removes the reading layout: a line break and the indentation after it,
// except the line breaks after the declaration and at the end.
inline std::string Compact(const std::string& text)
{
    const size_t rootStart = text.find("<QuorvaneSetting");
    std::string out = text.substr(0, rootStart);
    for (size_t i = rootStart; i < text.size(); ++i) {
        if (text[i] == '\n' && i + 1 < text.size()) {
            while (i + 1 < text.size() && text[i + 1] == ' ')
                ++i;
            continue;
        }
        out += text[i];
    }
    return out;
}

inline CSetting ExampleSetting()
{
    CSetting setting;
    setting.url = kExampleUrl;
    setting.urls.Items() = {kExampleUrl};
    setting.printSetting.flags = 0x12;
    setting.mainFrame.bands = {{0xE800, 500, false}, {0xE801, 400, true}};
    return setting;
}

// The example with `from` replaced by `to` (once).
inline std::string ExampleWith(const std::string& from, const std::string& to)
{
    std::string text = kExampleSettings;
    const size_t at = text.find(from);
    if (at == std::string::npos)
        ADD_FAILURE() << "not in the example: " << from;
    else
        text.replace(at, from.size(), to);
    return text;
}
