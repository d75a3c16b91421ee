#pragma once

#include <juce_core/juce_core.h>

/** One news entry from the news service, as shown behind the bell. */
struct NewsItem
{
    int newsID = 0;
    juce::String title;
    juce::String url;
    juce::String tags;
    bool newsRead = false;
    bool isForThisPlugin = false;
};

using NewsItemArray = juce::Array<NewsItem>;

/** One entry of the news cache file read back: which item, and whether it was read. */
struct StoredNewsState
{
    int newsID = 0;
    bool newsRead = false;
    bool isForThisPlugin = false;
};
