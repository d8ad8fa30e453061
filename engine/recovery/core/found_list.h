#pragma once

// A found-entry list: heap records linked through `next`, with a head and a tail. An empty list is
// recognised by its head alone; the tail of an emptied list is not trusted.

template <class Record> struct RecordList
{
    Record* head = nullptr;
    Record* tail = nullptr;

    bool Empty() const { return head == nullptr; }
};

template <class Record> void LinkAtTail(RecordList<Record>& list, Record* record)
{
    record->next = nullptr;
    if (!list.head)
        list.head = record;
    else
        list.tail->next = record;
    list.tail = record;
}
