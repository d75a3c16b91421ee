#include "KT_NewFloatParameter.h"
#include "BrindlexAudioProcessor.h"
#include "ParameterTable.h"
#include <cmath>

namespace
{
    /** Index of the time (or rate) in the processor's sync and division arrays, or -1. */
    int syncSlotForTime (const juce::String& key)
    {
        static const char* const names[] = { "L1 Tap Time", "L2 Tap Time", "L3 Tap Time", "LFB Tap Time",
                                             "R1 Tap Time", "R2 Tap Time", "R3 Tap Time", "RFB Tap Time" };
        for (int i = 0; i < 8; ++i)
            if (key == names[i])
                return i;
        return -1;
    }

    bool isSwitchName (const juce::String& key)
    {
        static const char* const names[] = { "L1 Tap Sync", "L2 Tap Sync", "L3 Tap Sync", "LFB Tap Sync",
                                             "R1 Tap Sync", "R2 Tap Sync", "R3 Tap Sync", "RFB Tap Sync",
                                             "LMOD Sync", "RMOD Sync", "Link Mode", "Loop Mode" };
        for (auto* n : names)
            if (key == n)
                return true;
        return false;
    }

    bool isPanName (const juce::String& key)
    {
        return key.length() == 10 && key.endsWith (" Tap Pan") && (key[0] == 'L' || key[0] == 'R');
    }

    /** A normalised value made safe for the range: inside 0..1, NaN read as 0. */
    float proportionOf (float v) noexcept
    {
        return v >= 0.0f ? (v <= 1.0f ? v : 1.0f) : 0.0f;
    }

    /** The seven tap-time ranges, built once and never changed: 0.1 ms up to each range's end,
        skewed for "Full" only. */
    const std::array<juce::NormalisableRange<float>, ParameterTable::numTimeRanges>& timeRanges()
    {
        static const auto table = []
        {
            std::array<juce::NormalisableRange<float>, ParameterTable::numTimeRanges> ranges;
            for (size_t i = 0; i < ranges.size(); ++i)
                ranges[i] = juce::NormalisableRange<float> (0.1f, ParameterTable::timeRangeEnds[i], 0.0f, i == 0 ? 0.4f : 1.0f, false);
            return ranges;
        }();
        return table;
    }

    bool isNumber (const juce::String& s)
    {
        return s.isNotEmpty() && s.containsOnly ("0123456789.-+eE") && s.containsAnyOf ("0123456789");
    }
}

KT_NewFloatParameter::KT_NewFloatParameter (BrindlexAudioProcessor* ownerIn,
                                            const juce::String& parameterID,
                                            const juce::String& nameIn,
                                            juce::NormalisableRange<float> rangeIn,
                                            const juce::String& labelIn,
                                            float defaultValueIn)
    : juce::AudioProcessorParameterWithID (parameterID, nameIn, juce::AudioProcessorParameterWithIDAttributes().withLabel (labelIn)),
      owner (ownerIn),
      name (nameIn),
      label (labelIn),
      nameKey (nameIn.trim()),
      timeRangeChoices (juce::StringArray::fromTokens (ParameterTable::timeRangeList, "|", "")),
      ownRange (rangeIn),
      shape (Shape { -1, defaultValueIn })
{
    jassert (owner != nullptr);
    // Built here, off the audio thread, before any range switch can ask for it.
    timeRanges();
}

KT_NewFloatParameter::~KT_NewFloatParameter()
{
    stopTimer();
}

float KT_NewFloatParameter::getValue() const
{
    return value.load (std::memory_order_relaxed);
}

void KT_NewFloatParameter::setValue (float newValue)
{
    value.store (newValue, std::memory_order_relaxed);

    if (owner->linkMode.load (std::memory_order_relaxed) && ! linkTimerGuard.exchange (true, std::memory_order_relaxed))
    {
        linkCopyDue.store (true, std::memory_order_release);

        if (juce::MessageManager::existsAndIsCurrentThread())
            startTimer (1);
        else
            linkCopyPending.store (true, std::memory_order_release);
    }

    linkTimerGuard.store (false, std::memory_order_relaxed);
    owner->parametersChanged.store (true, std::memory_order_relaxed);
}

void KT_NewFloatParameter::applyOwnValue (float newValue) noexcept
{
    linkCopyDue.store (false, std::memory_order_release);
    value.store (newValue, std::memory_order_relaxed);
    owner->parametersChanged.store (true, std::memory_order_relaxed);
}

float KT_NewFloatParameter::getDefaultValue() const
{
    const auto s = shape.load (std::memory_order_acquire);
    return rangeOf (s).convertTo0to1 (s.defaultPlain);
}

juce::String KT_NewFloatParameter::getName (int) const
{
    return name;
}

juce::String KT_NewFloatParameter::getLabel() const
{
    return {};
}

const juce::NormalisableRange<float>& KT_NewFloatParameter::rangeOf (Shape s) const noexcept
{
    return s.rangeIndex < 0 ? ownRange : timeRanges()[(size_t) s.rangeIndex];
}

const juce::NormalisableRange<float>& KT_NewFloatParameter::getRange() const noexcept
{
    return rangeOf (shape.load (std::memory_order_acquire));
}

float KT_NewFloatParameter::getClampedValue() const noexcept
{
    return proportionOf (getValue());
}

float KT_NewFloatParameter::getPlainValue() const
{
    return getRange().convertFrom0to1 (getClampedValue());
}

void KT_NewFloatParameter::useTimeRange (int rangeIndex, float newDefaultPlain) noexcept
{
    if (rangeIndex >= 0 && rangeIndex < ParameterTable::numTimeRanges)
        shape.store (Shape { rangeIndex, newDefaultPlain }, std::memory_order_release);
}

juce::String KT_NewFloatParameter::divisionName (int index) const
{
    if (index >= 0 && index < owner->syncDivisionNames.size())
        return owner->syncDivisionNames[index];
    return {};
}

juce::String KT_NewFloatParameter::getText (float v, int) const
{
    const auto& r = getRange();
    const float p = r.convertFrom0to1 (proportionOf (v));
    const int n = (int) p;
    const auto defaultText = juce::String (n) + " " + label;

    if (nameKey == "L Time Range" || nameKey == "R Time Range")
        return (n >= 0 && n < timeRangeChoices.size()) ? timeRangeChoices[n] : juce::String();

    const int timeSlot = syncSlotForTime (nameKey);
    if (timeSlot >= 0)
    {
        if (owner->syncEnabled[timeSlot].load (std::memory_order_relaxed))
            return divisionName (owner->divisionIndex[timeSlot].load (std::memory_order_relaxed));

        const bool isTap = (timeSlot % 4) != 3;
        const int channel = timeSlot / 4;
        if (isTap && owner->timeRangeIndex[channel].load (std::memory_order_relaxed) == 1)
            return juce::String (p, 2) + " " + label;

        return defaultText;
    }

    if (isPanName (nameKey))
    {
        if (n == 0)
            return "CENTER";
        return juce::String (p < 0.0f ? "L" : "R") + " " + juce::String (std::abs (n)) + " " + label;
    }

    if (isSwitchName (nameKey))
        return v == 0.0f ? "Off" : "On";

    if (nameKey == "LFB Tap Mode" || nameKey == "RFB Tap Mode")
        return v == 0.0f ? "Normal" : "Cross";

    if (nameKey == "LMOD Rate" || nameKey == "RMOD Rate")
    {
        const int slot = nameKey[0] == 'L' ? 8 : 9;
        if (owner->syncEnabled[slot].load (std::memory_order_relaxed))
            return divisionName (owner->divisionIndex[slot].load (std::memory_order_relaxed));
        return juce::String (p, 2) + " " + label;
    }

    if (nameKey == "LMOD Shape" || nameKey == "RMOD Shape")
    {
        const int shape = owner->lfoShapeIndex[nameKey[0] == 'L' ? 0 : 1].load (std::memory_order_relaxed);
        if (shape >= 0 && shape < ParameterTable::numShapes)
            return ParameterTable::shapeNames[(size_t) shape];
    }

    return defaultText;
}

bool KT_NewFloatParameter::parseValue (const juce::String& rawText, float& normalised) const
{
    const auto text = rawText.trim();
    const auto& r = getRange();
    auto fromPlain = [&r, &normalised] (float plain)
    {
        const float target = juce::jlimit (r.start, r.end, plain);
        float v = r.convertTo0to1 (target);

        // The texts truncate the plain value toward zero, and the float round trip through the range can land
        // a hair nearer zero than the typed number ("53 %" would read "52 %"): step to the nearest value whose
        // plain value is not nearer zero, so that the text shows what was typed.
        for (int step = 0; step < 4096; ++step)
        {
            const float p = r.convertFrom0to1 (v);
            if (target >= 0.0f ? p >= target : p <= target)
                break;
            v = std::nextafter (v, target >= 0.0f ? 1.0f : 0.0f);
        }

        normalised = v;
        return true;
    };

    if (nameKey == "L Time Range" || nameKey == "R Time Range")
    {
        const int choice = timeRangeChoices.indexOf (text, true);
        if (choice >= 0)
            return fromPlain ((float) choice);
    }

    if (nameKey == "LMOD Shape" || nameKey == "RMOD Shape")
        for (int i = 0; i < ParameterTable::numShapes; ++i)
            if (text.equalsIgnoreCase (ParameterTable::shapeNames[(size_t) i]))
                return fromPlain ((float) i);

    if (isSwitchName (nameKey))
    {
        if (text.equalsIgnoreCase ("On"))
            return fromPlain (1.0f);
        if (text.equalsIgnoreCase ("Off"))
            return fromPlain (0.0f);
    }

    if (nameKey == "LFB Tap Mode" || nameKey == "RFB Tap Mode")
    {
        if (text.equalsIgnoreCase ("Normal"))
            return fromPlain (0.0f);
        if (text.equalsIgnoreCase ("Cross"))
            return fromPlain (1.0f);
    }

    if (syncSlotForTime (nameKey) >= 0 || nameKey == "LMOD Rate" || nameKey == "RMOD Rate")
    {
        const int division = owner->syncDivisionNames.indexOf (text, true);
        if (division >= 0)
        {
            // The middle of the division's slice, so that the integer part of 28 * value lands on it.
            normalised = juce::jmin (1.0f, ((float) division + 0.5f) / 28.0f);
            return true;
        }
    }

    if (isPanName (nameKey))
    {
        if (text.equalsIgnoreCase ("CENTER"))
            return fromPlain (0.0f);
        const auto side = text.substring (0, 1).toUpperCase();
        const auto amount = text.substring (1).trim().upToFirstOccurrenceOf (" ", false, false).trimCharactersAtEnd ("%");
        if ((side == "L" || side == "R") && isNumber (amount))
            return fromPlain ((side == "L" ? -1.0f : 1.0f) * std::abs (amount.getFloatValue()));
    }

    auto number = text.upToFirstOccurrenceOf (" ", false, false);
    if (label.isNotEmpty() && number.endsWithIgnoreCase (label))
        number = number.dropLastCharacters (label.length());
    if (isNumber (number))
        return fromPlain (number.getFloatValue());

    return false;
}

float KT_NewFloatParameter::getValueForText (const juce::String& text) const
{
    float normalised = 0.0f;
    return parseValue (text, normalised) ? normalised : getValue();
}

void KT_NewFloatParameter::startPendingLinkCopy()
{
    if (linkCopyPending.exchange (false, std::memory_order_acquire))
        startTimer (1);
}

KT_NewFloatParameter* KT_NewFloatParameter::findTwin() const
{
    using namespace ParameterTable;
    int index = -1;
    for (int i = 0; i < numParameters; ++i)
        if (nameKey == parameters[(size_t) i].name)
            index = i;

    const bool inLeft = index >= lTimeRange && index < rTimeRange;
    const bool inRight = index >= rTimeRange && index <= rModSync;
    if (! (inLeft || inRight) || isPanName (nameKey))
        return nullptr;

    const int twin = inLeft ? index + channelOffset : index - channelOffset;
    return owner->paramTable[(size_t) twin];
}

void KT_NewFloatParameter::timerCallback()
{
    stopTimer();

    // A state or preset applied since the change replaced the value that was to be copied.
    if (! linkCopyDue.exchange (false, std::memory_order_acq_rel))
        return;

    auto* twin = findTwin();
    if (twin == nullptr)
        return;

    const float v = getValue();
    // An equal twin means the copy has already happened (or the host echoed it back): stay quiet.
    if (twin->getValue() == v)
        return;

    // Taken as the plug-in's own value, so that it is never copied back. The host hears of it from the
    // audio thread with the next block, as of every value the plug-in sets itself: announced from here,
    // the VST3 wrapper would write its cached value of the twin on this thread while the host writes it
    // on its own.
    twin->applyOwnValue (v);
    owner->announceLater (twin->getParameterIndex());
}
