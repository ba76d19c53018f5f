#pragma once
// The product's identity strings; every other unit takes them from here.

namespace kadrix {

inline constexpr const wchar_t* ProgramName = L"Tavik Кадрикс";
inline constexpr const wchar_t* ProgramVersion = L"2.0";
inline constexpr const wchar_t* CompanyName = L"Tavik Software";
inline constexpr const wchar_t* ProgramSiteURL = L"https://kadrix.tavik.example/";
inline constexpr const wchar_t* SupportURL = L"https://tavik.example/support.php";
inline constexpr const wchar_t* CompanySiteURL = L"https://tavik.example/";
inline constexpr const wchar_t* VKGroupURL = L"https://vk.com/taviksoftware";
inline constexpr const wchar_t* NoticeCaption = L"Внимание";
inline constexpr const wchar_t* VersionCaption = L"Версия программы";
inline constexpr const wchar_t* CloseCaption = L"Закрыть";
inline constexpr const wchar_t* NoticeText = L"бесплатная программа, «как есть», без гарантий.";

// Not a product constant: the application title shown by the taskbar, the tray
// tooltip and the standard error box.
inline constexpr const wchar_t* ApplicationTitle = L"Кадрикс";

}  // namespace kadrix
