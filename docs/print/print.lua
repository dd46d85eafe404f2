-- Shapes the manual's HTML for printing: a picture alone in its paragraph becomes a figure with its caption,
-- and a command in the text breaks only between its words, never inside an option.
local function escape(text)
  return (text:gsub('&', '&amp;'):gsub('<', '&lt;'):gsub('>', '&gt;'):gsub('"', '&quot;'))
end

function Code(code)
  local words = {}
  for word in code.text:gmatch('%S+') do
    words[#words + 1] = '<span class="word">' .. escape(word) .. '</span>'
  end
  return pandoc.RawInline('html', '<code>' .. table.concat(words, ' ') .. '</code>')
end

function Para(para)
  if #para.content ~= 1 or para.content[1].t ~= 'Image' then return nil end
  local image = para.content[1]
  local caption = escape(pandoc.utils.stringify(image.caption))
  return pandoc.RawBlock('html', '<figure><img src="' .. escape(image.src) .. '" alt="' .. caption ..
    '"><figcaption>' .. caption .. '</figcaption></figure>')
end
